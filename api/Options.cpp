#include "api/SongHandle.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace tolva::api {

namespace {

constexpr uint32_t MinRate = 5000;
constexpr uint32_t MaxRate = 96000;
constexpr int32_t MaxAmplification = 1500;
constexpr uint32_t MaxLoopCount = 9999;
constexpr uint32_t MaxSeconds = 10000000;

bool isFlag(uint32_t value) {
    return value <= 1;
}

// A caller built against an older header hands a shorter struct: the fields it does not know
// keep their defaults.
tolva_options complete(const tolva_options& given) {
    tolva_options options;
    tolva_options_init(&options);
    const std::size_t known = std::min<std::size_t>(given.size, sizeof options);
    std::memcpy(static_cast<void*>(&options), &given, known);
    options.size = sizeof options;
    return options;
}

bool valid(const tolva_options& o) {
    return o.rate >= MinRate && o.rate <= MaxRate && (o.formats & ~TOLVA_ALL_FORMATS) == 0 &&
           o.length_rule <= TOLVA_LENGTH_DETECT_LOOP && o.loop_mode <= TOLVA_LOOP_BY_TIME &&
           o.loop_count >= 1 && o.loop_count <= MaxLoopCount && o.extra_seconds <= MaxSeconds &&
           o.trailing_silence <= MaxSeconds && isFlag(o.remove_silence) &&
           isFlag(o.skip_empty_patterns) && isFlag(o.old_protracker) && isFlag(o.mod_panning) &&
           isFlag(o.reverse_stereo) && o.amplification >= -MaxAmplification &&
           o.amplification <= MaxAmplification && o.interpolation <= TOLVA_INTERPOLATION_SINC &&
           o.stereo_separation <= MaxStereoSeparation && o.seed <= 0xFFFF;
}

// The caller's options with the defaults for what it left out; false when they are unusable.
bool given(const tolva_options* options, tolva_options& out) {
    if (options && options->size < offsetof(tolva_options, rate) + sizeof options->rate)
        return false;
    if (options)
        out = complete(*options);
    else
        tolva_options_init(&out);
    return valid(out);
}

} // namespace

bool songOptions(const tolva_options* options, SongOptions& out, uint32_t& formats) {
    tolva_options o;
    if (!given(options, o))
        return false;
    out = SongOptions{};
    out.rate = o.rate;
    out.lengthRule = o.length_rule ? LengthRule::DetectLoop : LengthRule::NoBackwardJumps;
    out.loops = static_cast<LoopRule>(o.loop_mode);
    out.loopCount = o.loop_count;
    out.extraSeconds = o.extra_seconds;
    out.removeSilence = o.remove_silence != 0;
    out.trailingSilenceSeconds = o.trailing_silence;
    out.skipTrailingEmptyPatterns = o.skip_empty_patterns != 0;
    out.oldProTrackerMode = o.old_protracker != 0;
    out.modPanning = o.mod_panning != 0;
    out.amp = static_cast<int16_t>(o.amplification);
    out.interpolation = static_cast<Interpolation>(o.interpolation);
    out.stereoSeparation = static_cast<uint16_t>(o.stereo_separation);
    out.reverseStereo = o.reverse_stereo != 0;
    out.seed = static_cast<uint16_t>(o.seed);
    formats = o.formats;
    return true;
}

} // namespace tolva::api

extern "C" void tolva_options_init(tolva_options* options) {
    if (!options)
        return;
    *options = {};
    options->size = sizeof *options;
    options->rate = 44100;
    options->formats = TOLVA_ALL_FORMATS;
    options->length_rule = TOLVA_LENGTH_NO_BACKWARD_JUMPS;
    options->loop_mode = TOLVA_LOOP_ONCE;
    options->loop_count = 1;
    options->trailing_silence = 1;
    options->interpolation = TOLVA_INTERPOLATION_LINEAR;
    options->stereo_separation = 100;
}
