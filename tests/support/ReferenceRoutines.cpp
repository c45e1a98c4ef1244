#include "support/ReferenceRoutines.h"

#include <cmath>

namespace tolva::test {

namespace {

uint32_t sampleValue(const VoiceCursor& c, uint32_t frame, unsigned channel) {
    const uint8_t* p = c.data + (static_cast<uintptr_t>(frame) << c.frameShift);
    if (c.sixteenBit()) {
        p += channel * 2;
        return (uint32_t(p[0]) | uint32_t(p[1]) << 8) ^ (uint32_t(c.signFlip) << 8);
    }
    return uint32_t(p[channel] ^ c.signFlip) << 8;
}

uint32_t interpolated(const VoiceCursor& c, uint32_t partner, unsigned channel, bool interpolate) {
    const uint32_t u0 = sampleValue(c, c.index, channel);
    const uint32_t u1 = sampleValue(c, partner, channel);
    const uint32_t f = interpolate ? c.fraction : 0;
    return (u0 << 16) + (u1 - u0) * f;
}

// One frame through the gains, with the voice's bias and tail added into `out`; `shift` and
// `biasScale` place the wide product at the accumulator's level.
void addFrame(int32_t* out, uint32_t l, uint32_t r, bool stereo, const RunGains& g, int shift,
              uint32_t biasScale, LastFrame& last) {
    const uint64_t left = uint64_t(l) * g.toLeft, right = uint64_t(stereo ? r : l) * g.toRight;
    const uint32_t cl = uint32_t(left >> shift) - biasScale * g.biasLeft + uint32_t(g.holdLeft);
    uint32_t cr = uint32_t(right >> shift) - biasScale * g.biasRight;
    cr = (g.negateRight ? 0u - cr : cr) + uint32_t(g.holdRight);
    out[0] = static_cast<int32_t>(uint32_t(out[0]) + cl);
    out[1] = static_cast<int32_t>(uint32_t(out[1]) + cr);
    last = {static_cast<int32_t>(cl), static_cast<int32_t>(cr)};
}

// Calls `sink(frame, value of channel 0, of channel 1)` for whole pairs of frames only.
template <class Sink>
uint32_t runPairs(VoiceCursor& c, uint32_t frames, bool interpolate, Sink sink) {
    uint32_t done = 0;
    while (done + 2 <= frames) {
        uint32_t values[2][2] = {};
        for (int k = 0; k < 2; ++k) {
            uint32_t partner;
            if (!c.partnerFrame(partner)) {
                c.stop();
                return done;
            }
            for (unsigned ch = 0; ch < (c.stereo() ? 2u : 1u); ++ch)
                values[k][ch] = interpolated(c, partner, ch, interpolate);
            c.advance();
            if (k == 0 && !c.active())
                return done;
        }
        for (uint32_t k = 0; k < 2; ++k)
            sink(done + k, values[k][0], values[k][1]);
        done += 2;
        if (!c.active())
            break;
    }
    return done;
}

} // namespace

uint32_t referenceAccumulateRun(VoiceCursor& cursor, int32_t* accumulator, uint32_t frames,
                                const RunGains& gains, bool interpolate, LastFrame& last) {
    const bool stereo = cursor.stereo();
    return runPairs(cursor, frames, interpolate, [&](uint32_t frame, uint32_t l, uint32_t r) {
        addFrame(accumulator + 2 * frame, l, r, stereo, gains, 36, 1, last);
    });
}

uint32_t referenceRenderFloatRun(VoiceCursor& cursor, float* buffer, uint32_t frames,
                                 bool interpolate) {
    const uint32_t n = cursor.stereo() ? 2 : 1;
    return runPairs(cursor, frames, interpolate, [&](uint32_t frame, uint32_t l, uint32_t r) {
        for (uint32_t ch = 0; ch < n; ++ch) {
            const uint32_t value = ch ? r : l;
            buffer[n * frame + ch] =
                static_cast<float>(int32_t(value >> 12) - 524288) * (1.0f / 524288.0f);
        }
    });
}

void referenceMixFloatBack(const float* buffer, bool stereo, int32_t* accumulator, uint32_t frames,
                           const RunGains& g, LastFrame& last) {
    auto level = [](float x) {
        const float scaled = x * 131071.0f;
        // Out of range the processor answers 0x80000000.
        const bool fits = scaled >= -2147483648.0f && scaled < 2147483648.0f;
        const uint32_t r = fits ? uint32_t(int32_t(std::nearbyint(scaled))) : 0x80000000u;
        return (r + 2097152u) * 1024u;
    };
    const uint32_t n = stereo ? 2 : 1;
    for (uint32_t i = 0; i < (frames & ~1u); ++i) {
        const uint32_t l = level(buffer[n * i]), r = stereo ? level(buffer[2 * i + 1]) : 0;
        addFrame(accumulator + 2 * i, l, r, stereo, g, 32, 16, last);
    }
}

} // namespace tolva::test
