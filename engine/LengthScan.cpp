#include "engine/LengthScan.h"

#include "engine/Player.h"
#include "engine/SilenceDetector.h"
#include "engine/SongSession.h"

#include <algorithm>
#include <utility>

namespace tolva {

namespace {

uint32_t saturate(uint64_t value) {
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

// The most frames the mixer's counters hold: 27 hours at 44.1 kHz.
constexpr uint64_t MaxFrames = 0xFFFFFFFEu;

uint32_t even(uint64_t frames) {
    return static_cast<uint32_t>(frames) & ~1u;
}

// The frames that sound, [first, second): with silence removal, from the start of the second
// in which something first sounded to the trailing silence allowed after the last sound (kept
// whole for a song measured over its first pass).
std::pair<uint64_t, uint64_t> audibleFrames(const SilenceDetector& detector,
                                            const SongOptions& options, bool endless,
                                            uint64_t total) {
    const uint32_t rate = options.rate;
    if (!options.removeSilence)
        return {0, total};
    uint64_t end = total;
    if (!endless) {
        const uint64_t cut = detector.lastAudible + uint64_t{options.trailingSilenceSeconds} * rate;
        if (cut < total)
            end = cut;
    }
    return {detector.firstAudible > rate ? detector.firstAudible - rate : 0, end};
}

} // namespace

SongLength scanLength(SongSession& session, const SongOptions& options, uint32_t maxSeconds) {
    Player& player = session.player();
    Mixer& mixer = session.mixer();
    const uint32_t rate = options.rate;
    const bool removeSilence = options.removeSilence;
    // Looping without limit is measured over the first pass and extended by extra seconds.
    const bool endless =
        options.lengthRule == LengthRule::DetectLoop && options.loops == LoopRule::Seconds;
    const uint32_t playingMaxLoops = player.maxLoops;
    if (endless)
        player.maxLoops = 1;

    SilenceDetector detector(mixer);
    if (removeSilence)
        mixer.addTickListener(&detector, rate);
    // Without silence removal nothing needs to sound: the sequencer alone runs.
    player.silentScan = !removeSilence;
    mixer.setMuted(!removeSilence);
    player.configurePlayback(rate);
    uint64_t total = session.renderFrames(even(std::min(uint64_t{maxSeconds} * rate, MaxFrames)),
                                          nullptr, nullptr);
    // A song that comes back as often as asked plays all its passes, at the pace of those
    // already played; one that never comes back is cut at the bound.
    while (!player.isEnded() && player.loopReturnCount != 0 &&
           player.loopReturnCount < player.maxLoops && total < MaxFrames) {
        const uint64_t pass = total / player.loopReturnCount;
        const uint64_t more =
            std::min(pass * (player.maxLoops - player.loopReturnCount + 1), MaxFrames - total);
        total += session.renderFrames(even(more), nullptr, nullptr);
    }
    const bool cut = !player.isEnded();

    const auto [start, end] = audibleFrames(detector, options, endless, total);

    SongLength result;
    result.looped = player.loopReturnCount != 0;
    result.scannedFrames = total;
    result.orders = player.playedOrders;
    player.silentScan = false;
    mixer.setMuted(false);
    session.seekToFrame(0);
    mixer.releaseScratch();

    result.startOffsetMs = static_cast<uint32_t>(start * 1000 / rate);
    result.lengthMs = static_cast<uint32_t>(end * 1000 / rate) - result.startOffsetMs;
    result.limitLength = result.looped || removeSilence || cut;
    if (result.looped && endless)
        result.lengthMs =
            saturate(uint64_t{result.lengthMs} + uint64_t{options.extraSeconds} * 1000);
    mixer.removeTickListener(&detector);
    player.maxLoops = playingMaxLoops;
    return result;
}

uint32_t lengthLimitMs(const SongLength& length) {
    if (!length.limitLength)
        return 0;
    return saturate(uint64_t{length.startOffsetMs} + length.lengthMs);
}

} // namespace tolva
