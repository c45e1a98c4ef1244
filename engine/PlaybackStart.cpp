#include "engine/PlaybackStart.h"

#include "engine/LengthScan.h"
#include "engine/Player.h"
#include "song/SongSession.h"

namespace tolva {

void startPlayback(SongSession& session, const SongLength& length, uint32_t rate,
                   uint32_t positionMs) {
    session.mixer().setLengthLimit(lengthLimitMs(length));
    session.player().configurePlayback(rate);
    uint64_t frame = (uint64_t{positionMs} + length.startOffsetMs) * rate / 1000;
    session.seekToFrame(frame > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(frame));
}

} // namespace tolva
