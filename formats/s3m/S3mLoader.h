#pragma once
#include <memory>

namespace tolva {

class InputStream;
class Mixer;
class Player;

// Loads a Scream Tracker 3 module whose signature has been found. With infoOnly no sample data
// is read (mixer may then be null). Null when the file cannot be loaded.
std::unique_ptr<Player> loadS3m(InputStream& stream, bool infoOnly, Mixer* mixer);

} // namespace tolva
