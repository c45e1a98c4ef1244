#include "engine/SubsongScan.h"

#include "engine/Player.h"
#include "engine/SongSession.h"

#include <algorithm>

namespace tolva {

namespace {

// The first order from `from` on that starts a tune: one naming a pattern the file holds (an
// empty one too), which no tune has played. Skip entries, end marks and patterns the file does
// not hold are passed over. MaxOrders when there is none.
uint32_t nextStart(const Song& song, const OrderSet& played, uint32_t from) {
    // Past the song length a MOD's order bytes are left-overs, not orders.
    const uint32_t count = song.orderCount != 0 ? song.orderCount : MaxOrders;
    for (uint32_t i = from; i < count; ++i) {
        const int32_t entry = song.orders[i];
        if (entry >= 0 && static_cast<uint32_t>(entry) < song.heldPatterns && !played[i])
            return i;
    }
    return MaxOrders;
}

} // namespace

bool findSubsongs(SongSession& session, const SongOptions& options, const SongLength& main,
                  uint32_t maxSeconds, HeapArray<Subsong>& out) {
    Player& player = session.player();
    // Scans that listen draw on the random generator; the main song's playback must not see it.
    const Random random = player.random;
    if (!out.resize(1))
        return false;
    out[0] = {0, main, {}};
    OrderSet played = main.orders;
    bool fits = true;
    // The tunes after the main song share one bound, so that a file of many endless ones
    // cannot keep the scan busy for long.
    uint64_t left = uint64_t{maxSeconds} * options.rate;
    for (uint32_t start = nextStart(player.song, played, 0);
         fits && start < MaxOrders && left >= options.rate;
         start = nextStart(player.song, played, start + 1)) {
        player.startAt(start, played);
        const auto seconds = static_cast<uint32_t>(left / options.rate);
        const Subsong found{start, scanLength(session, options, seconds), played};
        left -= std::min(left, found.length.scannedFrames);
        played |= found.length.orders;
        played.set(start);
        // A tune that plays nothing (its orders all skipped) is none.
        if (found.length.scannedFrames == 0)
            continue;
        fits = out.resize(out.size() + 1);
        if (fits)
            out[out.size() - 1] = found;
    }
    player.startAt(0, {});
    player.random = random;
    return fits;
}

} // namespace tolva
