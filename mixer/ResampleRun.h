#pragma once
// The resampling walk shared by the accumulate and float routines: it moves a voice pair by
// pair, fetches each frame and its lookahead partner and hands the interpolated 16.16 values
// of the pair to a sink. Included only by the two routine families.
#include "mixer/SampleFormats.h"
#include "mixer/VoiceCursor.h"

#include <cstdint>
#include <emmintrin.h>

namespace tolva::resample {

// Interpolated values of a pair, I = u0 * 65536 + (u1 - u0) * f modulo 2^32: mono data in
// 32-bit lanes 0 and 2 (lanes 1 and 3 hold junk), stereo data as left, right, left, right.
template <bool Stereo, bool Interpolate>
inline __m128i interpolatePair(__m128i u0, __m128i u1, uint32_t fa, uint32_t fb) {
    const __m128i base = _mm_slli_epi32(u0, 16);
    if (!Interpolate)
        return base;
    const __m128i delta = _mm_sub_epi32(u1, u0);
    __m128i f = _mm_unpacklo_epi64(_mm_cvtsi32_si128(int(fa)), _mm_cvtsi32_si128(int(fb)));
    if (!Stereo)
        return _mm_add_epi32(base, _mm_mul_epu32(delta, f));
    f = _mm_shuffle_epi32(f, _MM_SHUFFLE(2, 2, 0, 0));
    const __m128i even = _mm_mul_epu32(delta, f);
    const __m128i odd = _mm_mul_epu32(_mm_srli_epi64(delta, 32), _mm_srli_epi64(f, 32));
    const __m128i low = _mm_set_epi32(0, -1, 0, -1);
    return _mm_add_epi32(base, _mm_or_si128(_mm_and_si128(even, low), _mm_slli_epi64(odd, 32)));
}

// Splits loadPair's 16-bit values into the lower and the higher frame of each output frame.
template <bool Stereo> inline void splitPair(__m128i v, __m128i& lower, __m128i& upper) {
    const __m128i zero = _mm_setzero_si128();
    if (Stereo) {
        const __m128i s = _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 1, 2, 0));
        lower = _mm_unpacklo_epi16(s, zero);
        upper = _mm_unpackhi_epi16(s, zero);
    } else {
        lower = _mm_unpacklo_epi16(v, zero);
        upper = _mm_srli_epi64(lower, 32);
    }
}

// Pairs, at most `limit`, whose two frames lie at least two frames before the boundary and
// whose moves stay short of it, so they need no boundary test.
inline uint32_t plainPairs(const VoiceCursor& c, uint32_t limit) {
    const int64_t remaining = c.framesToBoundary() * 65536 - c.fraction;
    const int64_t margin = c.step > 65536 ? int64_t(c.step) : 65536;
    if (remaining <= margin)
        return 0;
    if (c.step == 0)
        return limit;
    const uint64_t frames = (uint64_t(remaining - margin) + c.step - 1) / c.step;
    return frames / 2 < limit ? static_cast<uint32_t>(frames / 2) : limit;
}

template <class Format, bool Backwards, bool Interpolate, class Sink>
void plainRun(VoiceCursor& c, uint32_t pairs, Sink& target) {
    // A private copy of the sink stays in registers; the sink itself may be reached through
    // the output pointer as far as the compiler knows, so it would be reloaded every pair.
    Sink sink = target;
    const uint8_t* const data = c.data;
    const __m128i sign = Format::signMask(c.signFlip);
    const uint32_t stepFraction = c.step & 0xFFFF;
    const uint32_t stepFrames = c.step >> 16;
    uint32_t index = c.index;
    uint32_t fraction = c.fraction;
    auto frameAt = [&]() {
        // Both frames of the interpolation in one read, the lower first.
        return data + (static_cast<uintptr_t>(Backwards ? index - 1 : index) << Format::Shift);
    };
    auto move = [&]() {
        fraction += stepFraction;
        const uint32_t frames = stepFrames + (fraction >> 16);
        fraction &= 0xFFFF;
        index = Backwards ? index - frames : index + frames;
    };
    for (; pairs > 0; --pairs) {
        const uint8_t* a = frameAt();
        const uint32_t fa = fraction;
        move();
        const uint8_t* b = frameAt();
        const uint32_t fb = fraction;
        move();
        __m128i lower, upper;
        splitPair<Format::Stereo>(Format::loadPair(a, b, sign), lower, upper);
        const __m128i u0 = Backwards ? upper : lower;
        const __m128i u1 = Backwards ? lower : upper;
        sink.pair(interpolatePair<Format::Stereo, Interpolate>(u0, u1, fa, fb));
    }
    c.index = index;
    c.fraction = fraction;
    target = sink;
}

// One pair with every boundary rule; false when the voice stopped before the pair was whole
// (nothing is handed on then).
template <class Format, bool Interpolate, class Sink>
bool boundaryPair(VoiceCursor& c, Sink& sink) {
    uint32_t u0[2][2], u1[2][2], f[2];
    for (int k = 0; k < 2; ++k) {
        uint32_t partner;
        if (!c.partnerFrame(partner)) {
            c.stop();
            return false;
        }
        Format::frameValues(c.data + (static_cast<uintptr_t>(c.index) << Format::Shift), c.signFlip,
                            u0[k]);
        Format::frameValues(c.data + (static_cast<uintptr_t>(partner) << Format::Shift), c.signFlip,
                            u1[k]);
        f[k] = c.fraction;
        c.advance();
        if (k == 0 && !c.active())
            return false;
    }
    const __m128i a = _mm_set_epi32(int(u0[1][1]), int(u0[1][0]), int(u0[0][1]), int(u0[0][0]));
    const __m128i b = _mm_set_epi32(int(u1[1][1]), int(u1[1][0]), int(u1[0][1]), int(u1[0][0]));
    // Mono values land in lanes 0 and 2, as interpolatePair wants them.
    sink.pair(interpolatePair<Format::Stereo, Interpolate>(a, b, f[0], f[1]));
    return true;
}

// The walk of the stretches free of boundaries, one pair per step.
struct PairSteps {
    template <class Format, bool Backwards, bool Interpolate, class Sink>
    static void run(VoiceCursor& c, uint32_t pairs, Sink& sink) {
        plainRun<Format, Backwards, Interpolate>(c, pairs, sink);
    }
};

// The routine of one variant: runs until `pairs` are done, the voice stops or its direction
// turns, walking the stretches free of boundaries with `Plain`. Answers the pairs handed to the
// sink.
template <class Format, bool Backwards, bool Interpolate, class Plain = PairSteps, class Sink>
uint32_t variantRun(VoiceCursor& c, uint32_t pairs, Sink& sink) {
    uint32_t done = 0;
    while (done < pairs && c.active() && c.backwards() == Backwards) {
        const uint32_t plain = plainPairs(c, pairs - done);
        if (plain > 0) {
            Plain::template run<Format, Backwards, Interpolate>(c, plain, sink);
            done += plain;
        } else if (boundaryPair<Format, Interpolate>(c, sink)) {
            ++done;
        } else {
            break;
        }
    }
    return done;
}

// Index of a variant from the voice flags: stereo x 4 + backwards x 2 + 16-bit.
inline unsigned variantIndex(uint8_t flags) {
    return ((flags & 0x02) ? 4 : 0) + ((flags & 0x20) ? 2 : 0) + ((flags & 0x04) ? 1 : 0);
}

// Runs `frames` frames through the routines of `table` (eight variants, as variantIndex), one
// run per direction. Answers the frames handed to the sink.
template <class Context>
uint32_t runVariants(VoiceCursor& c, uint32_t frames,
                     uint32_t (*const table[8])(VoiceCursor&, uint32_t, Context&),
                     Context& context) {
    const uint32_t pairs = frames / 2;
    uint32_t done = 0;
    while (done < pairs && c.active())
        done += table[variantIndex(c.flags)](c, pairs - done, context);
    return 2 * done;
}

} // namespace tolva::resample
