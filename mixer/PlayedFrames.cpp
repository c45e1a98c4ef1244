#include "mixer/PlayedFrames.h"

#include "mixer/SampleFormats.h"

#include <algorithm>
#include <cstddef>

namespace tolva {

namespace {

// Where frames go: a float pointer and the floats between one frame and the next, negative
// when the line is written from its far end.
struct FrameSink {
    float* at;
    ptrdiff_t stride;
};

// Writes `count` frames from `first` on, going down the sample when `down`: values as the
// mixing routines read them (bytes the high half of 16 bits), centred and scaled to 1.0.
template <class Format>
void copyFrames(const VoiceCursor& c, uint32_t first, uint32_t count, bool down, FrameSink& sink) {
    constexpr ptrdiff_t Bytes = ptrdiff_t{1} << Format::Shift;
    constexpr bool Wide = Format::Shift - (Format::Stereo ? 1 : 0) == 1;
    constexpr float Scale = Wide ? 1.0f / 32768 : 1.0f / 128;
    const uint8_t* at = c.data + (static_cast<uintptr_t>(first) << Format::Shift);
    const ptrdiff_t move = down ? -Bytes : Bytes;
    const uint32_t flip = Wide ? uint32_t(c.signFlip) << 8 : c.signFlip;
    auto value = [&](const uint8_t* v) {
        const uint32_t raw = Wide ? uint32_t(v[0]) | uint32_t(v[1]) << 8 : v[0];
        return static_cast<float>(int32_t(raw ^ flip) - (Wide ? 32768 : 128)) * Scale;
    };
    float* out = sink.at;
    for (uint32_t n = 0; n < count; ++n, at += move, out += sink.stride) {
        out[0] = value(at);
        if (Format::Stereo)
            out[1] = value(at + (Wide ? 2 : 1));
    }
    sink.at = out;
}

using CopyFrames = void (*)(const VoiceCursor&, uint32_t, uint32_t, bool, FrameSink&);

// Indexed by stereo x 2 + 16-bit.
constexpr CopyFrames FrameCopies[4] = {copyFrames<Mono8>, copyFrames<Mono16>, copyFrames<Stereo8>,
                                       copyFrames<Stereo16>};

void writeSilence(uint32_t count, bool stereo, FrameSink& sink) {
    for (uint32_t n = 0; n < count; ++n) {
        sink.at[0] = 0;
        if (stereo)
            sink.at[1] = 0;
        sink.at += sink.stride;
    }
}

// `count` frames of the path of `w` from its current frame on, a run between boundaries at a
// time.
void walk(VoiceCursor w, uint32_t count, FrameSink sink) {
    const CopyFrames copy = FrameCopies[(w.stereo() ? 2 : 0) + (w.sixteenBit() ? 1 : 0)];
    uint32_t n = 0;
    while (n < count && w.active()) {
        const int64_t distance = w.framesToBoundary();
        if (distance <= 0)
            break;
        const auto run = static_cast<uint32_t>(std::min<int64_t>(count - n, distance));
        copy(w, w.index, run, w.backwards(), sink);
        n += run;
        if (run < distance)
            w.index = w.backwards() ? w.index - run : w.index + run;
        else
            w.wrapAtBoundary(0);
    }
    writeSilence(count - n, w.stereo(), sink);
}

// The frames played before the current one, nearest first.
void walkBack(const VoiceCursor& c, uint32_t count, FrameSink sink) {
    VoiceCursor w = c;
    w.flags ^= VoiceBackwards;
    w.fraction = 0;
    if (c.looped) {
        // The path run backwards: loops wrap and turn the other way round.
        if (w.framesToBoundary() > 1)
            w.index = w.backwards() ? w.index - 1 : w.index + 1;
        else
            w.wrapAtBoundary(0);
        walk(w, count, sink);
        return;
    }
    const uint32_t behind =
        c.backwards() ? c.endFrame - 1 - std::min(c.index, c.endFrame - 1) : c.index;
    const uint32_t available = std::min(count, behind);
    const CopyFrames copy = FrameCopies[(w.stereo() ? 2 : 0) + (w.sixteenBit() ? 1 : 0)];
    copy(w, c.backwards() ? c.index + 1 : c.index - 1, available, w.backwards(), sink);
    writeSilence(count - available, w.stereo(), sink);
}

} // namespace

void unfoldPlayedFrames(const VoiceCursor& cursor, uint32_t before, uint32_t count, float* out) {
    const ptrdiff_t channels = cursor.stereo() ? 2 : 1;
    walkBack(cursor, before, {out + (ptrdiff_t(before) - 1) * channels, -channels});
    walk(cursor, count, {out + ptrdiff_t(before) * channels, channels});
}

} // namespace tolva
