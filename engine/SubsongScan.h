#pragma once
#include "engine/LengthScan.h"
#include "platform/HeapArray.h"
#include "song/Song.h"

#include <cstdint>

namespace tolva {

// One tune of an order list. The main song starts at order 0; every other tune starts at the
// first order that no tune before it played, and runs by the same rules until it ends or
// reaches an order such a tune played.
struct Subsong {
    uint32_t startOrder = 0;
    SongLength length;
    OrderSet earlier; // the orders of the tunes before it
};

// Finds and measures the tunes after the main song, whose measure is `main`, each as
// scanLength measures a song; all of them together are measured for at most `maxSeconds`, and
// tunes past that are not listed. `out` gets the main song first. Leaves the player at the
// main song, rewound; false when memory ran short.
bool findSubsongs(SongSession& session, const SongOptions& options, const SongLength& main,
                  uint32_t maxSeconds, HeapArray<Subsong>& out);

} // namespace tolva
