#pragma once
#include <cstdint>
#include <memory>

namespace tolva {

class InputStream;
class Mixer;
class Player;

// Match (0) for a file that begins with "if" or "JN", 3 for another file, 1 when the stream is
// too short to tell.
uint32_t identify669(InputStream& stream);

// Loads a Composer 669 module ("if", or "JN" for the extended form). With infoOnly no sample
// data is read (mixer may then be null). Null when the file is not a complete 669.
std::unique_ptr<Player> load669(InputStream& stream, bool infoOnly, Mixer* mixer);

} // namespace tolva
