#include "mixer/MixRoutines.h"
#include "mixer/ResampleRun.h"

#include <emmintrin.h>

namespace tolva {

namespace {

// Writes a pair as floats ((I >> 12) - 524288) / 524288: full scale is 1.0.
template <bool Stereo> struct FloatSink {
    float* out;

    void pair(__m128i values) {
        const __m128i centred = _mm_sub_epi32(_mm_srli_epi32(values, 12), _mm_set1_epi32(524288));
        const __m128 scaled = _mm_mul_ps(_mm_cvtepi32_ps(centred), _mm_set1_ps(1.0f / 524288.0f));
        if (Stereo) {
            _mm_store_ps(out, scaled);
            out += 4;
        } else {
            _mm_storel_pi(reinterpret_cast<__m64*>(out),
                          _mm_shuffle_ps(scaled, scaled, _MM_SHUFFLE(2, 0, 2, 0)));
            out += 2;
        }
    }
};

template <class Format, bool Backwards, bool Interpolate>
uint32_t floatVariant(VoiceCursor& c, uint32_t pairs, float*& out) {
    FloatSink<Format::Stereo> sink{out};
    const uint32_t done = resample::variantRun<Format, Backwards, Interpolate>(c, pairs, sink);
    out = sink.out;
    return done;
}

template <bool Interpolate>
constexpr uint32_t (*FloatVariants[8])(VoiceCursor&, uint32_t, float*&) = {
    floatVariant<Mono8, false, Interpolate>,   floatVariant<Mono16, false, Interpolate>,
    floatVariant<Mono8, true, Interpolate>,    floatVariant<Mono16, true, Interpolate>,
    floatVariant<Stereo8, false, Interpolate>, floatVariant<Stereo16, false, Interpolate>,
    floatVariant<Stereo8, true, Interpolate>,  floatVariant<Stereo16, true, Interpolate>,
};

// Floats back to the 32-bit level the gains expect: (round(x * 131071) + 2^21) * 1024.
inline __m128i levels(__m128 x) {
    const __m128i r = _mm_cvtps_epi32(_mm_mul_ps(x, _mm_set1_ps(131071.0f)));
    return _mm_slli_epi32(_mm_add_epi32(r, _mm_set1_epi32(2097152)), 10);
}

} // namespace

uint32_t renderFloatRun(VoiceCursor& cursor, float* buffer, uint32_t frames, bool interpolate) {
    return interpolate ? resample::runVariants(cursor, frames, FloatVariants<true>, buffer)
                       : resample::runVariants(cursor, frames, FloatVariants<false>, buffer);
}

void mixFloatBack(const float* buffer, bool stereo, int32_t* accumulator, uint32_t frames,
                  const RunGains& g, LastFrame& last) {
    const __m128i toLeft = _mm_set1_epi32(int(g.toLeft)), toRight = _mm_set1_epi32(int(g.toRight));
    const __m128i bias = _mm_set_epi32(int(16 * g.biasRight), int(16 * g.biasLeft),
                                       int(16 * g.biasRight), int(16 * g.biasLeft));
    const __m128i negate = g.negateRight ? _mm_set_epi32(-1, 0, -1, 0) : _mm_setzero_si128();
    const __m128i hold = _mm_set_epi32(g.holdRight, g.holdLeft, g.holdRight, g.holdLeft);
    __m128i c = _mm_setzero_si128();
    for (uint32_t i = 0; i + 2 <= frames; i += 2) {
        __m128i left, right;
        if (stereo) {
            const __m128i w = levels(_mm_loadu_ps(buffer + 2 * i));
            left = _mm_mul_epu32(w, toLeft);
            right = _mm_mul_epu32(_mm_srli_epi64(w, 32), toRight);
        } else {
            const __m128i w = levels(
                _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(buffer + i))));
            const __m128i spread = _mm_unpacklo_epi32(w, w);
            left = _mm_mul_epu32(spread, toLeft);
            right = _mm_mul_epu32(spread, toRight);
        }
        c = _mm_or_si128(_mm_srli_epi64(left, 32), _mm_slli_epi64(_mm_srli_epi64(right, 32), 32));
        c = _mm_sub_epi32(c, bias);
        c = _mm_sub_epi32(_mm_xor_si128(c, negate), negate);
        c = _mm_add_epi32(c, hold);
        __m128i* out = reinterpret_cast<__m128i*>(accumulator + 2 * i);
        _mm_store_si128(out, _mm_add_epi32(_mm_load_si128(out), c));
    }
    if (frames >= 2) {
        last.left = _mm_cvtsi128_si32(_mm_shuffle_epi32(c, _MM_SHUFFLE(3, 2, 3, 2)));
        last.right = _mm_cvtsi128_si32(_mm_shuffle_epi32(c, _MM_SHUFFLE(3, 2, 3, 3)));
    }
}

void mixKernelRun(const float* buffer, bool stereo, int32_t* accumulator, uint32_t frames,
                  const RunGains& g, LastFrame& last) {
    // A float x adds x x gain / 32, where the integer routines add ((I x gain) >> 36) - bias.
    auto gains = [](uint32_t a, uint32_t b) {
        const float x = static_cast<float>(a) / 32, y = static_cast<float>(b) / 32;
        return _mm_set_ps(y, x, y, x);
    };
    const __m128 weights = gains(g.toLeft, g.toRight);
    const __m128 sign =
        _mm_set_ps(g.negateRight ? -1.0f : 1.0f, 1, g.negateRight ? -1.0f : 1.0f, 1);
    const __m128i hold = _mm_set_epi32(g.holdRight, g.holdLeft, g.holdRight, g.holdLeft);
    __m128i c = _mm_setzero_si128();
    for (uint32_t i = 0; i + 2 <= frames; i += 2) {
        __m128 x;
        if (stereo) {
            x = _mm_mul_ps(_mm_loadu_ps(buffer + 2 * i), weights);
        } else {
            x = _mm_castsi128_ps(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(buffer + i)));
            x = _mm_mul_ps(_mm_unpacklo_ps(x, x), weights);
        }
        c = _mm_add_epi32(_mm_cvtps_epi32(_mm_mul_ps(x, sign)), hold);
        __m128i* out = reinterpret_cast<__m128i*>(accumulator + 2 * i);
        _mm_store_si128(out, _mm_add_epi32(_mm_load_si128(out), c));
    }
    if (frames >= 2) {
        last.left = _mm_cvtsi128_si32(_mm_shuffle_epi32(c, _MM_SHUFFLE(3, 2, 3, 2)));
        last.right = _mm_cvtsi128_si32(_mm_shuffle_epi32(c, _MM_SHUFFLE(3, 2, 3, 3)));
    }
}

} // namespace tolva
