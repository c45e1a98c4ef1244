#include "api/SongHandle.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace tolva::api {

namespace {

// Frames per call into the mixer; the sound does not depend on it.
constexpr uint32_t ChunkFrames = 16384;
// More frames than any caller's buffer could hold.
constexpr size_t MaxFrames = SIZE_MAX / (2 * sizeof(float));

int16_t toS16(float value) {
    return static_cast<int16_t>(std::lround(std::clamp(value * 32768.0f, -32768.0f, 32767.0f)));
}

// Hands out the frame waiting from the last call, converted when the sample type changed.
template <typename T> size_t takeAhead(tolva_song& song, T* out) {
    if (!song.hasAhead)
        return 0;
    song.hasAhead = false;
    for (int i = 0; i < 2; ++i) {
        if constexpr (std::is_same_v<T, float>)
            out[i] = song.aheadIsFloat ? song.ahead.f32[i] : song.ahead.s16[i] / 32768.0f;
        else
            out[i] = song.aheadIsFloat ? toS16(song.ahead.f32[i]) : song.ahead.s16[i];
    }
    return 1;
}

// The last frame of an odd request: a pair rendered, its second frame kept for the next call.
template <typename T> size_t renderLast(tolva_song& song, T* out) {
    constexpr bool isFloat = std::is_same_v<T, float>;
    T pair[4];
    const uint32_t got = renderPairs(song, pair, 2, isFloat);
    if (got == 0)
        return 0;
    std::memcpy(out, pair, 2 * sizeof(T));
    if (got == 2) {
        std::memcpy(isFloat ? static_cast<void*>(song.ahead.f32) : song.ahead.s16, pair + 2,
                    2 * sizeof(T));
        song.hasAhead = true;
        song.aheadIsFloat = isFloat;
    }
    return 1;
}

template <typename T> size_t render(tolva_song* song, T* out, size_t frames) {
    if (!song || !out || frames == 0 || frames > MaxFrames)
        return 0;
    constexpr bool isFloat = std::is_same_v<T, float>;
    size_t done = takeAhead(*song, out);
    while (done < frames) {
        if (frames - done == 1) {
            done += renderLast(*song, out + 2 * done);
            break;
        }
        const auto want = static_cast<uint32_t>(std::min<size_t>(frames - done, ChunkFrames)) & ~1u;
        const uint32_t got = renderPairs(*song, out + 2 * done, want, isFloat);
        done += got;
        if (got < want)
            break;
    }
    song->frame += done;
    return done;
}

} // namespace

RenderFormat currentFormat(const tolva_song& song, bool isFloat) {
    RenderFormat format = renderFormat(song.options, isFloat ? 32 : 16);
    format.floatSamples = isFloat;
    return format;
}

uint32_t renderPairs(tolva_song& song, void* out, uint32_t frames, bool isFloat) {
    const RenderFormat format = currentFormat(song, isFloat);
    return song.loaded.session->renderFrames(frames, out, &format);
}

} // namespace tolva::api

extern "C" {

size_t tolva_render_s16(tolva_song* song, int16_t* stereo, size_t frames) {
    return tolva::api::render(song, stereo, frames);
}

size_t tolva_render_f32(tolva_song* song, float* stereo, size_t frames) {
    return tolva::api::render(song, stereo, frames);
}

} // extern "C"
