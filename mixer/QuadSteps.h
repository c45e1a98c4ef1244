#pragma once
// The accumulate walk on 256-bit AVX2 registers: two pairs of output frames per step, the same
// arithmetic as the pair walk lane for lane. Built only into the native tool, which takes it
// where the processor has AVX2; the functions carry the instruction set themselves, so the
// rest of the program stays SSE2.
#include "mixer/AccumulateSink.h"
#include "mixer/ResampleRun.h"

#include <cstring>
#include <immintrin.h>

namespace tolva::resample {

// interpolatePair on both halves: values of the first pair in the low 128 bits, the second's
// in the high; `f` holds the four fractions in the low 32 bits of its 64-bit lanes.
template <bool Stereo, bool Interpolate>
[[gnu::target("avx2")]] inline __m256i interpolateQuad(__m256i u0, __m256i u1, __m256i f) {
    const __m256i base = _mm256_slli_epi32(u0, 16);
    if (!Interpolate)
        return base;
    const __m256i delta = _mm256_sub_epi32(u1, u0);
    if (!Stereo)
        return _mm256_add_epi32(base, _mm256_mul_epu32(delta, f));
    f = _mm256_shuffle_epi32(f, _MM_SHUFFLE(2, 2, 0, 0));
    const __m256i even = _mm256_mul_epu32(delta, f);
    const __m256i odd = _mm256_mul_epu32(_mm256_srli_epi64(delta, 32), _mm256_srli_epi64(f, 32));
    const __m256i low = _mm256_set1_epi64x(0xFFFFFFFF);
    return _mm256_add_epi32(
        base, _mm256_or_si256(_mm256_and_si256(even, low), _mm256_slli_epi64(odd, 32)));
}

// splitPair on both halves: the frames at a, b (low half) and d, e (high half) and the frames
// after them. Mono data gather their eight values in one 128-bit register and widen it in one
// step.
template <class Format>
[[gnu::target("avx2")]] inline void loadQuad(const uint8_t* a, const uint8_t* b, const uint8_t* d,
                                             const uint8_t* e, __m128i sign, __m256i& lower,
                                             __m256i& upper) {
    if constexpr (Format::Stereo) {
        const __m256i v =
            _mm256_set_m128i(Format::loadPair(d, e, sign), Format::loadPair(a, b, sign));
        const __m256i s = _mm256_shuffle_epi32(v, _MM_SHUFFLE(3, 1, 2, 0));
        lower = _mm256_unpacklo_epi16(s, _mm256_setzero_si256());
        upper = _mm256_unpackhi_epi16(s, _mm256_setzero_si256());
    } else {
        __m128i v;
        if constexpr (Format::Shift == 0) {
            uint16_t x[4];
            std::memcpy(&x[0], a, 2);
            std::memcpy(&x[1], b, 2);
            std::memcpy(&x[2], d, 2);
            std::memcpy(&x[3], e, 2);
            const uint64_t bytes =
                x[0] | uint64_t{x[1]} << 16 | uint64_t{x[2]} << 32 | uint64_t{x[3]} << 48;
            v = _mm_xor_si128(_mm_cvtsi64_si128(static_cast<int64_t>(bytes)), sign);
            v = _mm_unpacklo_epi8(_mm_setzero_si128(), v); // the byte in the high half
        } else {
            uint32_t x[4];
            std::memcpy(&x[0], a, 4);
            std::memcpy(&x[1], b, 4);
            std::memcpy(&x[2], d, 4);
            std::memcpy(&x[3], e, 4);
            v = _mm_xor_si128(_mm_set_epi32(int(x[3]), int(x[2]), int(x[1]), int(x[0])), sign);
        }
        lower = _mm256_cvtepu16_epi32(v);
        upper = _mm256_srli_epi64(lower, 32);
    }
}

// The sink's gains broadcast to both halves of the wide registers.
struct QuadGains {
    __m256i toLeft, toRight, negate;
    // The bias and the declick offset in one addition after the sign: -(x - bias) + hold is
    // -x + (hold + bias).
    __m256i offset;
};

template <bool Stereo>
[[gnu::target("avx2"), gnu::always_inline]] inline QuadGains
quadGains(const AccumulateSink<Stereo>& sink) {
    QuadGains g;
    g.toLeft = _mm256_broadcastsi128_si256(sink.t.toLeft);
    g.toRight = _mm256_broadcastsi128_si256(sink.t.toRight);
    g.negate = _mm256_broadcastsi128_si256(sink.t.negate);
    const __m256i bias = _mm256_broadcastsi128_si256(sink.t.bias);
    const __m256i hold = _mm256_broadcastsi128_si256(sink.t.hold);
    g.offset = _mm256_sub_epi32(hold, _mm256_sub_epi32(_mm256_xor_si256(bias, g.negate), g.negate));
    return g;
}

// AccumulateSink::pair on both halves: what the interpolated values add to two pairs of
// output frames.
template <bool Stereo, bool Surround>
[[gnu::target("avx2"), gnu::always_inline]] inline __m256i quadContribution(__m256i values,
                                                                            const QuadGains& g) {
    const __m256i left = _mm256_mul_epu32(values, g.toLeft);
    const __m256i right =
        _mm256_mul_epu32(Stereo ? _mm256_srli_epi64(values, 32) : values, g.toRight);
    // right >> 4 holds right >> 36 in its high half.
    __m256i contribution =
        _mm256_blend_epi32(_mm256_srli_epi64(left, 36), _mm256_srli_epi64(right, 4), 0xAA);
    if (Surround)
        contribution = _mm256_sub_epi32(_mm256_xor_si256(contribution, g.negate), g.negate);
    return _mm256_add_epi32(contribution, g.offset);
}

// The stretch walker for variantRun that feeds an AccumulateSink two pairs at a time; an odd
// last pair, and stretches too short to repay setting up the wide registers (the runs between
// the volume steps of a ramp), take the pair walk.
struct QuadSteps {
    static constexpr uint32_t ShortStretch = 8;

    template <class Format, bool Backwards, bool Interpolate, bool Stereo>
    [[gnu::target("avx2")]] static void run(VoiceCursor& c, uint32_t pairs,
                                            AccumulateSink<Stereo>& sink) {
        if (pairs < ShortStretch) {
            plainRun<Format, Backwards, Interpolate>(c, pairs, sink);
            return;
        }
        // Surround is rare; without it the sign of the right channel costs nothing.
        if (_mm_movemask_epi8(sink.t.negate) == 0)
            walk<Format, Backwards, Interpolate, Stereo, false>(c, pairs, sink);
        else
            walk<Format, Backwards, Interpolate, Stereo, true>(c, pairs, sink);
    }

private:
    template <class Format, bool Backwards, bool Interpolate, bool Stereo, bool Surround>
    [[gnu::target("avx2")]] static void walk(VoiceCursor& c, uint32_t pairs,
                                             AccumulateSink<Stereo>& sink) {
        const uint8_t* const data = c.data;
        const __m128i sign = Format::signMask(c.signFlip);
        // The position in 1/65536 frames as one number, so that a frame's index is a shift of
        // it: forwards index + fraction, backwards index - fraction (the true position, which
        // falls by a step per frame). The fractions run alongside in the vector lanes.
        const int64_t step = c.step;
        int64_t position =
            int64_t{c.index} * 65536 + (Backwards ? -int64_t{c.fraction} : c.fraction);
        auto lowerFrame = [](int64_t p) {
            return static_cast<uintptr_t>(Backwards ? (p - 1) >> 16 : p >> 16) << Format::Shift;
        };
        const uint32_t stepFraction = c.step & 0xFFFF;
        // 16-bit additions wrap the fractions round by themselves.
        const __m256i fractionStep = _mm256_set1_epi64x((4 * stepFraction) & 0xFFFF);
        __m256i fractions = _mm256_and_si256(
            _mm256_set_epi64x(c.fraction + 3 * stepFraction, c.fraction + 2 * stepFraction,
                              c.fraction + stepFraction, c.fraction),
            _mm256_set1_epi64x(0xFFFF));
        int32_t* out = sink.t.out;
        const QuadGains gains = quadGains(sink);
        const int64_t move = Backwards ? -step : step;
        __m128i last = sink.t.last;
        for (; pairs >= 2; pairs -= 2) {
            const uint8_t* a = data + lowerFrame(position);
            const uint8_t* b = data + lowerFrame(position + move);
            const uint8_t* d = data + lowerFrame(position + 2 * move);
            const uint8_t* e = data + lowerFrame(position + 3 * move);
            position += 4 * move;
            __m256i lower, upper;
            loadQuad<Format>(a, b, d, e, sign, lower, upper);
            const __m256i values = interpolateQuad<Stereo, Interpolate>(
                Backwards ? upper : lower, Backwards ? lower : upper, fractions);
            fractions = _mm256_add_epi16(fractions, fractionStep);
            const __m256i contribution = quadContribution<Stereo, Surround>(values, gains);
            __m256i* at = reinterpret_cast<__m256i*>(out);
            _mm256_storeu_si256(at, _mm256_add_epi32(_mm256_loadu_si256(at), contribution));
            out += 8;
            last = _mm256_extracti128_si256(contribution, 1);
        }
        const int64_t index = Backwards ? (position + 65535) >> 16 : position >> 16;
        c.index = static_cast<uint32_t>(index);
        c.fraction =
            static_cast<uint32_t>(Backwards ? index * 65536 - position : position & 0xFFFF);
        sink.t.out = out;
        sink.t.last = last;
        if (pairs == 1)
            plainRun<Format, Backwards, Interpolate>(c, 1, sink);
    }
};

} // namespace tolva::resample
