#include "SongPlayback.h"

#include "TimeText.h"
#include "engine/PlaybackStart.h"
#include "engine/Player.h"

#include <algorithm>

namespace tolva::cli {

std::string startProblem(uint32_t startMs, const SongLength& length) {
    if (startMs == 0 || startMs < length.lengthMs)
        return "";
    return "--start is past the song's end (" + minutesText(length.lengthMs) + ")";
}

SongPlayback::SongPlayback(LoadedSong& song, const Settings& settings, uint32_t startMs)
    : song_(song), rate_(settings.mixingFrequency), baseGain_(song.session->player().gain) {
    format_.bits = settings.outputBits;
    format_.signedOutput = settings.outputBits != 8;
    format_.interpolate = !settings.disableOversampling;
    format_.forceMono = settings.forceMono != 0;
    format_.reverseStereo = settings.reverseStereo != 0;
    startPlayback(*song.session, song.length, rate_, startMs);
}

uint32_t SongPlayback::render(void* out, uint32_t frames) {
    const auto want = static_cast<uint32_t>(std::min<uint64_t>(frames, allowed_));
    const uint32_t done = want ? song_.session->renderFrames(want, out, &format_) : 0;
    allowed_ -= done;
    return done;
}

void SongPlayback::seek(uint32_t ms) {
    // The frame a fresh start at `ms` would begin on.
    uint64_t frame = (uint64_t{ms} + song_.length.startOffsetMs) * rate_ / 1000;
    song_.session->seekToFrame(frame > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(frame));
}

uint32_t SongPlayback::positionMs() const {
    uint64_t ms = uint64_t{song_.session->player().playedFrames} * 1000 / rate_;
    return static_cast<uint32_t>(ms - std::min<uint64_t>(ms, song_.length.startOffsetMs));
}

void SongPlayback::setGain(int32_t gain) {
    song_.session->player().gain = gain;
}

} // namespace tolva::cli
