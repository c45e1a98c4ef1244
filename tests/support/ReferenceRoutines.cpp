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
    return uint32_t(p[channel] ^ c.signFlip) * 257;
}

uint32_t interpolated(const VoiceCursor& c, uint32_t partner, unsigned channel, bool interpolate) {
    const uint32_t u0 = sampleValue(c, c.index, channel);
    const uint32_t u1 = sampleValue(c, partner, channel);
    const uint32_t f = interpolate ? c.fraction : 0;
    return (u0 << 16) + (u1 - u0) * f;
}

template <class Sink>
uint32_t runPairs(VoiceCursor& c, uint32_t frames, bool interpolate, Sink& sink) {
    uint32_t done = 0;
    while (done + 2 <= frames) {
        uint32_t values[2][2] = {};
        for (int k = 0; k < 2; ++k) {
            uint32_t partner;
            if (!c.partnerFrame(partner)) {
                c.stop();
                return done;
            }
            values[k][0] = interpolated(c, partner, 0, interpolate);
            if (c.stereo())
                values[k][1] = interpolated(c, partner, 1, interpolate);
            c.advance();
            if (k == 0 && !c.active())
                return done;
        }
        sink.pair(done, values, c.stereo());
        done += 2;
        if (!c.active())
            break;
    }
    return done;
}

struct AccumulateSink {
    int32_t* accumulator;
    const RunGains& g;
    LastFrame& last;

    void pair(uint32_t frame, const uint32_t (&v)[2][2], bool stereo) {
        for (int k = 0; k < 2; ++k) {
            uint64_t left = uint64_t(v[k][0]) * g.leftToLeft;
            uint64_t right = uint64_t(v[k][0]) * g.leftToRight;
            if (stereo) {
                left += uint64_t(v[k][1]) * g.rightToLeft;
                right += uint64_t(v[k][1]) * g.rightToRight;
            }
            int32_t cl = static_cast<int32_t>(uint32_t(left >> 36) - g.biasLeft);
            int32_t cr = static_cast<int32_t>(uint32_t(right >> 36) - g.biasRight);
            if (g.negateRight)
                cr = static_cast<int32_t>(0u - uint32_t(cr));
            cl = static_cast<int32_t>(uint32_t(cl) + uint32_t(g.holdLeft));
            cr = static_cast<int32_t>(uint32_t(cr) + uint32_t(g.holdRight));
            int32_t* out = accumulator + 2 * (frame + k);
            out[0] = static_cast<int32_t>(uint32_t(out[0]) + uint32_t(cl));
            out[1] = static_cast<int32_t>(uint32_t(out[1]) + uint32_t(cr));
            last = {cl, cr};
        }
    }
};

struct FloatSink {
    float* buffer;

    static float scaled(uint32_t value) {
        return static_cast<float>(int32_t(value >> 12) - 524288) * (1.0f / 524288.0f);
    }
    void pair(uint32_t frame, const uint32_t (&v)[2][2], bool stereo) {
        for (int k = 0; k < 2; ++k) {
            if (stereo) {
                buffer[2 * (frame + k)] = scaled(v[k][0]);
                buffer[2 * (frame + k) + 1] = scaled(v[k][1]);
            } else {
                buffer[frame + k] = scaled(v[k][0]);
            }
        }
    }
};

} // namespace

uint32_t referenceAccumulateRun(VoiceCursor& cursor, int32_t* accumulator, uint32_t frames,
                                const RunGains& gains, bool interpolate, LastFrame& last) {
    AccumulateSink sink{accumulator, gains, last};
    return runPairs(cursor, frames, interpolate, sink);
}

uint32_t referenceRenderFloatRun(VoiceCursor& cursor, float* buffer, uint32_t frames,
                                 bool interpolate) {
    FloatSink sink{buffer};
    return runPairs(cursor, frames, interpolate, sink);
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
    for (uint32_t i = 0; i < (frames & ~1u); ++i) {
        uint64_t left, right;
        if (stereo) {
            const uint32_t wl = level(buffer[2 * i]);
            const uint32_t wr = level(buffer[2 * i + 1]);
            left = uint64_t(wl) * g.leftToLeft + uint64_t(wr) * g.rightToLeft;
            right = uint64_t(wl) * g.leftToRight + uint64_t(wr) * g.rightToRight;
        } else {
            const uint32_t w = level(buffer[i]);
            left = uint64_t(w) * g.leftToLeft;
            right = uint64_t(w) * g.leftToRight;
        }
        int32_t cl = static_cast<int32_t>(uint32_t(left >> 32) - 16 * g.biasLeft);
        int32_t cr = static_cast<int32_t>(uint32_t(right >> 32) - 16 * g.biasRight);
        if (g.negateRight)
            cr = static_cast<int32_t>(0u - uint32_t(cr));
        cl = static_cast<int32_t>(uint32_t(cl) + uint32_t(g.holdLeft));
        cr = static_cast<int32_t>(uint32_t(cr) + uint32_t(g.holdRight));
        accumulator[2 * i] = static_cast<int32_t>(uint32_t(accumulator[2 * i]) + uint32_t(cl));
        accumulator[2 * i + 1] =
            static_cast<int32_t>(uint32_t(accumulator[2 * i + 1]) + uint32_t(cr));
        last = {cl, cr};
    }
}

} // namespace tolva::test
