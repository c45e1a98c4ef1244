#include "mixer/ConvertOutput.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <emmintrin.h>
#if TOLVA_WIDE_MIXING
#include <immintrin.h>
#endif

namespace tolva {

namespace {

// The low 32 bits of each 64-bit lane of `even` and `odd`, interleaved: even0, odd0, even1,
// odd1.
__m128i interleaveLow(__m128i even, __m128i odd) {
    const __m128i low = _mm_set_epi32(0, -1, 0, -1);
    return _mm_or_si128(_mm_and_si128(even, low), _mm_slli_epi64(odd, 32));
}

// The scale that divides by the number of voices mixed, and the level of silence after it.
struct OutputScale {
    explicit OutputScale(uint32_t voiceCount) {
        // Nothing is mixed without voices; divide as for one so the output is silence.
        const uint32_t scale = 0x80000000u / (voiceCount ? voiceCount : 1);
        factor = _mm_set1_epi32(static_cast<int32_t>(scale));
        const uint64_t silence = uint64_t(1u << 27) * scale;
        silence16 = _mm_set1_epi32(static_cast<int32_t>(silence >> 31));
        silence32 = _mm_set1_epi64x(static_cast<int64_t>(silence));
    }

    __m128i factor;
    __m128i silence16;
    __m128i silence32;
};

// Converts two frames (left, right, left, right) to four samples in 32-bit lanes, before the
// sign convention of the output.
template <uint8_t Bits, bool ForceMono, bool ReverseStereo>
inline __m128i convertPair(__m128i frames, const OutputScale& scale) {
    const __m128i level = _mm_add_epi32(frames, _mm_set1_epi32(1 << 27));
    __m128i left = _mm_mul_epu32(level, scale.factor);
    __m128i right = _mm_mul_epu32(_mm_srli_epi64(level, 32), scale.factor);
    if (ForceMono)
        left = right = _mm_srli_epi64(_mm_add_epi64(left, right), 1);
    __m128i samples;
    if (Bits == 32) {
        const __m128i zl = _mm_sub_epi64(left, scale.silence32);
        const __m128i zr = _mm_sub_epi64(right, scale.silence32);
        const __m128i coarse = interleaveLow(_mm_srli_epi64(zl, 20), _mm_srli_epi64(zr, 20));
        const __m128i fine = interleaveLow(_mm_srli_epi64(zl, 17), _mm_srli_epi64(zr, 17));
        // The coarse value only holds 32 bits of z >> 20; beyond that the high half of z
        // decides, so that loud sums clip instead of wrapping round.
        const __m128i top = interleaveLow(_mm_srli_epi64(zl, 32), _mm_srli_epi64(zr, 32));
        const __m128i beyondHigh = _mm_cmpgt_epi32(top, _mm_set1_epi32((1 << 19) - 1));
        const __m128i beyondLow = _mm_cmpgt_epi32(_mm_set1_epi32(-(1 << 19)), top);
        const __m128i beyond = _mm_or_si128(beyondHigh, beyondLow);
        const __m128i high = _mm_or_si128(
            beyondHigh,
            _mm_andnot_si128(beyond, _mm_cmpgt_epi32(coarse, _mm_set1_epi32(268435455))));
        const __m128i low = _mm_or_si128(
            beyondLow,
            _mm_andnot_si128(beyond, _mm_cmpgt_epi32(_mm_set1_epi32(-268435455), coarse)));
        samples = _mm_andnot_si128(_mm_or_si128(high, low), fine);
        samples = _mm_or_si128(samples, _mm_and_si128(high, _mm_set1_epi32(0x7FFFFFFF)));
        samples = _mm_or_si128(samples, _mm_and_si128(low, _mm_set1_epi32(INT32_MIN)));
    } else {
        const __m128i y = _mm_sub_epi32(
            interleaveLow(_mm_srli_epi64(left, 31), _mm_srli_epi64(right, 31)), scale.silence16);
        samples = Bits == 8 ? _mm_srai_epi32(y, 10) : _mm_srai_epi32(y, 2);
    }
    if (ReverseStereo)
        samples = _mm_shuffle_epi32(samples, _MM_SHUFFLE(2, 3, 0, 1));
    return samples;
}

// The samples of two frames in output form; the first 2 x Bits / 4 bytes are valid.
template <uint8_t Bits, bool SignedOutput> inline __m128i pack(__m128i samples) {
    if (Bits == 32)
        return SignedOutput ? samples : _mm_xor_si128(samples, _mm_set1_epi32(INT32_MIN));
    __m128i packed = _mm_packs_epi32(samples, samples);
    if (Bits == 8) {
        packed = _mm_packs_epi16(packed, packed);
        return SignedOutput ? packed : _mm_xor_si128(packed, _mm_set1_epi8(-128));
    }
    return SignedOutput ? packed : _mm_xor_si128(packed, _mm_set1_epi16(-32768));
}

// The loop of one output form, so that it holds no choice between forms.
template <uint8_t Bits, bool ForceMono, bool ReverseStereo, bool SignedOutput>
void convertFrames(const int32_t* accumulator, uint8_t* dest, uint32_t frames,
                   const OutputScale& shared) {
    // A private copy stays in registers; the caller's might be reached through `dest`.
    const OutputScale scale = shared;
    constexpr uint32_t FrameBytes = 2u * (Bits / 8);
    uint32_t i = 0;
    for (; i + 2 <= frames; i += 2) {
        const __m128i acc = _mm_load_si128(reinterpret_cast<const __m128i*>(accumulator + 2 * i));
        const __m128i samples =
            pack<Bits, SignedOutput>(convertPair<Bits, ForceMono, ReverseStereo>(acc, scale));
        if (Bits == 32) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dest), samples);
        } else if (Bits == 16) {
            _mm_storel_epi64(reinterpret_cast<__m128i*>(dest), samples);
        } else {
            const int32_t four = _mm_cvtsi128_si32(samples);
            std::memcpy(dest, &four, 4);
        }
        dest += 2 * FrameBytes;
    }
    if (i < frames) {
        // A lone last frame: convert it as the first of a pair and store only it.
        const __m128i acc = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(accumulator + 2 * i));
        alignas(16) uint8_t pair[16];
        _mm_store_si128(
            reinterpret_cast<__m128i*>(pair),
            pack<Bits, SignedOutput>(convertPair<Bits, ForceMono, ReverseStereo>(acc, scale)));
        std::memcpy(dest, pair, FrameBytes);
    }
}

#if TOLVA_WIDE_MIXING
// convertPair for 16-bit output on AVX2 registers: four frames' samples in 32-bit lanes.
template <bool ForceMono, bool ReverseStereo>
[[gnu::target("avx2")]] inline __m256i convertQuad16(const int32_t* accumulator, __m256i factor,
                                                     __m256i silence) {
    const __m256i level =
        _mm256_add_epi32(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(accumulator)),
                         _mm256_set1_epi32(1 << 27));
    __m256i left = _mm256_mul_epu32(level, factor);
    __m256i right = _mm256_mul_epu32(_mm256_srli_epi64(level, 32), factor);
    if (ForceMono)
        left = right = _mm256_srli_epi64(_mm256_add_epi64(left, right), 1);
    // right << 1 holds right >> 31 in its high half.
    const __m256i y = _mm256_sub_epi32(
        _mm256_blend_epi32(_mm256_srli_epi64(left, 31), _mm256_slli_epi64(right, 1), 0xAA),
        silence);
    const __m256i samples = _mm256_srai_epi32(y, 2);
    return ReverseStereo ? _mm256_shuffle_epi32(samples, _MM_SHUFFLE(2, 3, 0, 1)) : samples;
}

// convertPair and pack for 16-bit output on AVX2 registers, eight frames per step. Answers the
// frames converted, a multiple of four; the rest are left to the loop above.
template <bool ForceMono, bool ReverseStereo, bool SignedOutput>
[[gnu::target("avx2")]] uint32_t convertQuads16(const int32_t* accumulator, uint8_t* dest,
                                                uint32_t frames, const OutputScale& shared) {
    const __m256i factor = _mm256_broadcastsi128_si256(shared.factor);
    const __m256i silence = _mm256_broadcastsi128_si256(shared.silence16);
    const __m256i flip = _mm256_set1_epi16(SignedOutput ? 0 : -32768);
    uint32_t i = 0;
    for (; i + 8 <= frames; i += 8) {
        const __m256i first =
            convertQuad16<ForceMono, ReverseStereo>(accumulator + 2 * i, factor, silence);
        const __m256i second =
            convertQuad16<ForceMono, ReverseStereo>(accumulator + 2 * i + 8, factor, silence);
        // Packing works within each half; the halves' results are then put in order.
        const __m256i packed =
            _mm256_permute4x64_epi64(_mm256_packs_epi32(first, second), _MM_SHUFFLE(3, 1, 2, 0));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dest + 4 * i),
                            _mm256_xor_si256(packed, flip));
    }
    if (i + 4 <= frames) {
        const __m256i samples =
            convertQuad16<ForceMono, ReverseStereo>(accumulator + 2 * i, factor, silence);
        const __m256i packed =
            _mm256_permute4x64_epi64(_mm256_packs_epi32(samples, samples), _MM_SHUFFLE(3, 1, 2, 0));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + 4 * i),
                         _mm256_castsi256_si128(_mm256_xor_si256(packed, flip)));
        i += 4;
    }
    return i;
}
#endif

using ConvertFrames = void (*)(const int32_t*, uint8_t*, uint32_t, const OutputScale&);

// The loops of one sample width, indexed by forceMono x 4 + reverseStereo x 2 + signedOutput.
template <uint8_t Bits>
constexpr ConvertFrames ConvertLoops[8] = {
    convertFrames<Bits, false, false, false>, convertFrames<Bits, false, false, true>,
    convertFrames<Bits, false, true, false>,  convertFrames<Bits, false, true, true>,
    convertFrames<Bits, true, false, false>,  convertFrames<Bits, true, false, true>,
    convertFrames<Bits, true, true, false>,   convertFrames<Bits, true, true, true>,
};

#if TOLVA_WIDE_MIXING
constexpr uint32_t (*WideLoops16[8])(const int32_t*, uint8_t*, uint32_t, const OutputScale&) = {
    convertQuads16<false, false, false>, convertQuads16<false, false, true>,
    convertQuads16<false, true, false>,  convertQuads16<false, true, true>,
    convertQuads16<true, false, false>,  convertQuads16<true, false, true>,
    convertQuads16<true, true, false>,   convertQuads16<true, true, true>,
};
#endif

} // namespace

void convertOutput(const int32_t* accumulator, void* out, uint32_t frames, uint32_t voiceCount,
                   bool signedOutput, uint8_t bits, bool forceMono, bool reverseStereo,
                   VectorWidth width) {
    const unsigned form = (forceMono ? 4 : 0) + (reverseStereo ? 2 : 0) + (signedOutput ? 1 : 0);
    const OutputScale scale(voiceCount);
    auto* dest = static_cast<uint8_t*>(out);
#if TOLVA_WIDE_MIXING
    if (bits == 16 && width == VectorWidth::Avx2) {
        const uint32_t done = WideLoops16[form](accumulator, dest, frames, scale);
        accumulator += 2 * done;
        dest += 4 * done;
        frames -= done;
    }
#else
    (void)width;
#endif
    const ConvertFrames loop = bits == 32  ? ConvertLoops<32>[form]
                               : bits == 8 ? ConvertLoops<8>[form]
                                           : ConvertLoops<16>[form];
    loop(accumulator, dest, frames, scale);
}

void convertFloatOutput(const int32_t* accumulator, float* out, uint32_t frames,
                        uint32_t voiceCount, bool forceMono, bool reverseStereo) {
    // 16-bit output is the accumulator / (4 x voices), so 1.0 is 131072 x voices.
    const __m128 scale =
        _mm_set1_ps(1.0f / (131072.0f * static_cast<float>(voiceCount ? voiceCount : 1)));
    for (uint32_t i = 0; i < frames; i += 2) {
        const uint32_t n = frames - i < 2 ? 1 : 2;
        const __m128i acc =
            n == 2 ? _mm_load_si128(reinterpret_cast<const __m128i*>(accumulator + 2 * i))
                   : _mm_loadl_epi64(reinterpret_cast<const __m128i*>(accumulator + 2 * i));
        __m128 x = _mm_mul_ps(_mm_cvtepi32_ps(acc), scale);
        if (forceMono) {
            const __m128 swapped = _mm_shuffle_ps(x, x, _MM_SHUFFLE(2, 3, 0, 1));
            x = _mm_mul_ps(_mm_add_ps(x, swapped), _mm_set1_ps(0.5f));
        }
        if (reverseStereo)
            x = _mm_shuffle_ps(x, x, _MM_SHUFFLE(2, 3, 0, 1));
        if (n == 2)
            _mm_storeu_ps(out + 2 * i, x);
        else
            _mm_storel_pi(reinterpret_cast<__m64*>(out + 2 * i), x);
    }
}

void separateStereo(int32_t* accumulator, uint32_t frames, uint32_t percent) {
    // mean + (left - right) / 2 x percent / 100, in 1/65536 units.
    const int64_t side = int64_t{percent} * 32768 / 100;
    // Far beyond any level the output can carry, and short of where the conversion wraps.
    constexpr int64_t Limit = int64_t{1} << 27;
    for (uint32_t i = 0; i < frames; ++i) {
        const int64_t left = accumulator[2 * i], right = accumulator[2 * i + 1];
        const int64_t mean = (left + right) * 32768;
        accumulator[2 * i] =
            static_cast<int32_t>(std::clamp((mean + (left - right) * side) >> 16, -Limit, Limit));
        accumulator[2 * i + 1] =
            static_cast<int32_t>(std::clamp((mean - (left - right) * side) >> 16, -Limit, Limit));
    }
}

} // namespace tolva
