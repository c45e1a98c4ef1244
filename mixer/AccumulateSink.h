#pragma once
// Where the accumulate routines put a pair of interpolated values: the 128-bit step that the
// pair walk and the boundary cases of every vector width end in.
#include <cstdint>
#include <emmintrin.h>

namespace tolva {

// What the accumulate routines share across a run.
struct AccumulateTarget {
    int32_t* out;
    __m128i toLeft, toRight;
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
        // Stereo pairs hold the right side in the high half of each lane.
        const __m128i left = _mm_mul_epu32(values, t.toLeft);
        const __m128i right =
            _mm_mul_epu32(Stereo ? _mm_srli_epi64(values, 32) : values, t.toRight);
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

} // namespace tolva
