#pragma once
#include <cstdint>
#include <memory>

namespace tolva {

class InputStream;
class Mixer;
class Player;

// 0 for a FastTracker 2 module of a version this player reads (1.03 or 1.04), 2 for another
// version, 3 for a file that is no XM, 1 when the stream is too short to tell.
uint32_t identifyXm(InputStream& stream);

// Loads an XM: header, the patterns the order list uses, instruments with their samples and,
// unless infoOnly, the sample data through the mixer (which may then be null). Null when the
// file cannot be loaded.
std::unique_ptr<Player> loadXm(InputStream& stream, bool infoOnly, Mixer* mixer);

} // namespace tolva
