#pragma once
#include <cstdint>
#include <memory>

namespace tolva {

class InputStream;
class Mixer;
class Player;

// Match (0) for "MTM" and a version byte that any value may take, 3 for another file, 1 when
// the stream is too short to tell.
uint32_t identifyMtm(InputStream& stream);

// Loads a MultiTracker module. With infoOnly no sample data is read (mixer may then be null).
// Null when the file is not a complete MTM.
std::unique_ptr<Player> loadMtm(InputStream& stream, bool infoOnly, Mixer* mixer);

} // namespace tolva
