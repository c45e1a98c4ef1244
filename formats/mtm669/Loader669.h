#pragma once
#include <memory>

namespace tolva {

class InputStream;
class Mixer;
class Player;

// Loads a Composer 669 module ("if", or "JN" for the extended form). With infoOnly no sample
// data is read (mixer may then be null). Null when the file is not a complete 669.
std::unique_ptr<Player> load669(InputStream& stream, bool infoOnly, Mixer* mixer);

} // namespace tolva
