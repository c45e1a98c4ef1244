#pragma once
#include <cstdint>

namespace tolva {

class SongSession;
struct SongLength;

// Readies a scanned, rewound song to play at `rate`: the length limit when the scan asks for one,
// and the song positioned `positionMs` after its leading silence.
void startPlayback(SongSession& session, const SongLength& length, uint32_t rate,
                   uint32_t positionMs = 0);

} // namespace tolva
