#include "SongPlayback.h"

#include "TimeText.h"
#include "engine/Player.h"
#include "settings/SettingsConversion.h"

#include <algorithm>

namespace tolva::cli {

std::string startProblem(uint32_t startMs, const SongLength& length) {
    if (startMs == 0 || startMs < length.lengthMs)
        return "";
    return "--start is past the song's end (" + minutesText(length.lengthMs) + ")";
}

PlaybackPlan playbackPlan(const Settings& settings, const SoundChoices& choices) {
    PlaybackPlan plan{loadOptions(settings), {}};
    SongOptions& song = plan.load.song;
    if (choices.interpolation)
        song.interpolation = *choices.interpolation;
    song.stereoSeparation = choices.stereoSeparation;
    song.mutedChannels = choices.mutedChannels;
    plan.format = renderFormat(song, settings.outputBits);
    plan.format.floatSamples = choices.floatSamples;
    return plan;
}

SongPlayback::SongPlayback(LoadedSong& song, const PlaybackPlan& plan, uint32_t startMs)
    : song_(song), rate_(plan.rate()), format_(plan.format),
      baseGain_(song.session->player().gain) {
    startPlayback(song, rate_, startMs);
}

uint32_t SongPlayback::render(void* out, uint32_t frames) {
    const auto want = static_cast<uint32_t>(std::min<uint64_t>(frames, allowed_));
    const uint32_t done = want ? song_.session->renderFrames(want, out, &format_) : 0;
    allowed_ -= done;
    return done;
}

void SongPlayback::seek(uint32_t ms) {
    seekSong(song_, rate_, ms);
}

uint32_t SongPlayback::positionMs() const {
    return static_cast<uint32_t>(std::max<int64_t>(0, songPositionMs(song_, rate_)));
}

void SongPlayback::setGain(int32_t gain) {
    song_.session->player().gain = gain;
}

} // namespace tolva::cli
