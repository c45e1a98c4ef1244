#pragma once
#include <cstdint>
#include <memory>

namespace tolva {

class InputStream;
class Mixer;
class Player;

// Match (0) for a 96-byte header with "SCRM" at 44, 3 for another file, 1 when the stream is too
// short to tell.
uint32_t identifyS3m(InputStream& stream);

// Loads a Scream Tracker 3 module whose signature has been found. With infoOnly no sample data
// is read (mixer may then be null). Null when the file cannot be loaded.
std::unique_ptr<Player> loadS3m(InputStream& stream, bool infoOnly, Mixer* mixer);

} // namespace tolva
