#pragma once
#include <memory>

namespace tolva {

class InputStream;
class Mixer;
class Player;

// Loads a MultiTracker module. With infoOnly no sample data is read (mixer may then be null).
// Null when the file is not a complete MTM.
std::unique_ptr<Player> loadMtm(InputStream& stream, bool infoOnly, Mixer* mixer);

} // namespace tolva
