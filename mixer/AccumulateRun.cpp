#include "mixer/MixRoutines.h"
#include "mixer/ResampleRun.h"

#include <emmintrin.h>

namespace tolva {

namespace {

// What the accumulate routines share across a run.
struct AccumulateTarget {
    int32_t* out;
    __m128i leftToLeft, leftToRight, rightToLeft, rightToRight;
    __m128i bias;   // left, right, left, right
    __m128i negate; // all ones in the right lanes for surround
    __m128i hold;
    __m128i last; // the last pair added
};

// Contributions of a pair: ((I x gain) >> 36) - bias per output channel, surround, declick
// offset; added to the accumulator.
template <bool Stereo> struct AccumulateSink {
    AccumulateTarget t;

    void pair(__m128i values) {
        __m128i left, right;
        if (Stereo) {
            const __m128i rightSource = _mm_srli_epi64(values, 32);
            left = _mm_add_epi64(_mm_mul_epu32(values, t.leftToLeft),
                                 _mm_mul_epu32(rightSource, t.rightToLeft));
            right = _mm_add_epi64(_mm_mul_epu32(values, t.leftToRight),
                                  _mm_mul_epu32(rightSource, t.rightToRight));
        } else {
            left = _mm_mul_epu32(values, t.leftToLeft);
            right = _mm_mul_epu32(values, t.leftToRight);
        }
        __m128i c =
            _mm_or_si128(_mm_srli_epi64(left, 36), _mm_slli_epi64(_mm_srli_epi64(right, 36), 32));
        c = _mm_sub_epi32(c, t.bias);
        c = _mm_sub_epi32(_mm_xor_si128(c, t.negate), t.negate);
        c = _mm_add_epi32(c, t.hold);
        __m128i* out = reinterpret_cast<__m128i*>(t.out);
        _mm_store_si128(out, _mm_add_epi32(_mm_load_si128(out), c));
        t.out += 4;
        t.last = c;
    }
};

template <class Format, bool Backwards, bool Interpolate>
uint32_t accumulateVariant(VoiceCursor& c, uint32_t pairs, AccumulateTarget& t) {
    AccumulateSink<Format::Stereo> sink{t};
    const uint32_t done = resample::variantRun<Format, Backwards, Interpolate>(c, pairs, sink);
    t.out = sink.t.out;
    t.last = sink.t.last;
    return done;
}

template <bool Interpolate>
constexpr uint32_t (*AccumulateVariants[8])(VoiceCursor&, uint32_t, AccumulateTarget&) = {
    accumulateVariant<Mono8, false, Interpolate>,   accumulateVariant<Mono16, false, Interpolate>,
    accumulateVariant<Mono8, true, Interpolate>,    accumulateVariant<Mono16, true, Interpolate>,
    accumulateVariant<Stereo8, false, Interpolate>, accumulateVariant<Stereo16, false, Interpolate>,
    accumulateVariant<Stereo8, true, Interpolate>,  accumulateVariant<Stereo16, true, Interpolate>,
};

__m128i broadcast(uint32_t value) {
    return _mm_set1_epi32(static_cast<int>(value));
}

} // namespace

uint32_t accumulateRun(VoiceCursor& cursor, int32_t* accumulator, uint32_t frames,
                       const RunGains& g, bool interpolate, LastFrame& last) {
    AccumulateTarget t;
    t.out = accumulator;
    t.leftToLeft = broadcast(g.leftToLeft);
    t.leftToRight = broadcast(g.leftToRight);
    t.rightToLeft = broadcast(g.rightToLeft);
    t.rightToRight = broadcast(g.rightToRight);
    t.bias = _mm_set_epi32(int(g.biasRight), int(g.biasLeft), int(g.biasRight), int(g.biasLeft));
    t.negate = g.negateRight ? _mm_set_epi32(-1, 0, -1, 0) : _mm_setzero_si128();
    t.hold = _mm_set_epi32(g.holdRight, g.holdLeft, g.holdRight, g.holdLeft);
    t.last = _mm_setzero_si128();
    const uint32_t done = interpolate
                              ? resample::runVariants(cursor, frames, AccumulateVariants<true>, t)
                              : resample::runVariants(cursor, frames, AccumulateVariants<false>, t);
    if (done > 0) {
        last.left = _mm_cvtsi128_si32(_mm_shuffle_epi32(t.last, _MM_SHUFFLE(3, 2, 3, 2)));
        last.right = _mm_cvtsi128_si32(_mm_shuffle_epi32(t.last, _MM_SHUFFLE(3, 2, 3, 3)));
    }
    return done;
}

} // namespace tolva
