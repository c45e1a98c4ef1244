#pragma once
// The kernels of the Cubic and Sinc modes, read on the line of frames a voice plays
// (unfoldPlayedFrames) at positions in 1/65536 frame from its first frame. Each gives one
// frame (`one`) or, for mono data, four frames `step` apart (`four`, the common case, worked
// on together). Included only by KernelRun.cpp.
#include <cstdint>
#include <emmintrin.h>

namespace tolva::kernels {

constexpr uint32_t FrameShift = 16;

inline __m128 fractionsOf(uint64_t position, uint32_t step) {
    auto f = [&](uint32_t i) { return static_cast<float>((position + i * step) & 0xFFFF); };
    return _mm_mul_ps(_mm_set_ps(f(3), f(2), f(1), f(0)), _mm_set1_ps(1.0f / 65536));
}

// The sums of the lanes of a, b, c and d, in that order.
inline __m128 laneSums(__m128 a, __m128 b, __m128 c, __m128 d) {
    const __m128 ab = _mm_add_ps(_mm_unpacklo_ps(a, b), _mm_unpackhi_ps(a, b));
    const __m128 cd = _mm_add_ps(_mm_unpacklo_ps(c, d), _mm_unpackhi_ps(c, d));
    return _mm_add_ps(_mm_movelh_ps(ab, cd), _mm_movehl_ps(cd, ab));
}

// The 4-point Catmull-Rom spline through the frames around the position.
template <bool Stereo> struct Cubic {
    uint32_t before() const { return 1; }
    uint32_t after() const { return 2; }

    // Weights of the frames before, at, after and after that, for fractions t.
    static void weights(__m128 t, __m128 w[4]) {
        const __m128 half = _mm_set1_ps(0.5f), t2 = _mm_mul_ps(t, t), t3 = _mm_mul_ps(t2, t);
        auto sum = [&](float a, float b, float c, float d) {
            const __m128 v =
                _mm_add_ps(_mm_mul_ps(_mm_set1_ps(a), t3),
                           _mm_add_ps(_mm_mul_ps(_mm_set1_ps(b), t2),
                                      _mm_add_ps(_mm_mul_ps(_mm_set1_ps(c), t), _mm_set1_ps(d))));
            return _mm_mul_ps(half, v);
        };
        w[0] = sum(-1, 2, -1, 0);
        w[1] = sum(3, -5, 0, 2);
        w[2] = sum(-3, 4, 1, 0);
        w[3] = sum(1, -1, 0, 0);
    }

    void one(const float* line, uint64_t position, float* out) const {
        constexpr uint32_t C = Stereo ? 2 : 1;
        __m128 w[4];
        weights(fractionsOf(position, 0), w);
        const float* p = line + ((position >> FrameShift) - 1) * C;
        for (uint32_t ch = 0; ch < C; ++ch)
            out[ch] = _mm_cvtss_f32(w[0]) * p[ch] + _mm_cvtss_f32(w[1]) * p[C + ch] +
                      _mm_cvtss_f32(w[2]) * p[2 * C + ch] + _mm_cvtss_f32(w[3]) * p[3 * C + ch];
    }

    void four(const float* line, uint64_t position, uint32_t step, float* out) const {
        __m128 w[4];
        weights(fractionsOf(position, step), w);
        auto frames = [&](uint32_t i) {
            return _mm_loadu_ps(line + ((position + i * step) >> FrameShift) - 1);
        };
        // Named values rather than an array, which the compiler would keep in memory.
        __m128 v0 = frames(0), v1 = frames(1), v2 = frames(2), v3 = frames(3);
        _MM_TRANSPOSE4_PS(v0, v1, v2, v3);
        const __m128 early = _mm_add_ps(_mm_mul_ps(w[0], v0), _mm_mul_ps(w[1], v1));
        const __m128 late = _mm_add_ps(_mm_mul_ps(w[2], v2), _mm_mul_ps(w[3], v3));
        _mm_storeu_ps(out, _mm_add_ps(early, late));
    }
};

// A sinc kept as rows of weights, one row per phase of the position between two frames
// (`phases` of them, and one more closing the last interval): the two rows around the
// position's phase are mixed by how far it lies between them, and weigh `width` frames from
// `reach` - 1 before the position's frame on. `Width` fixes the width at compile time (0: it is
// `width`).
template <bool Stereo, uint32_t Width> struct SincRows {
    const float* rows;
    uint32_t width;
    uint32_t phases;
    uint32_t reach;
    uint32_t before() const { return reach - 1; }
    uint32_t after() const { return width - reach; }

    // The weighted frames' partial sums: four for mono data, left, right, left, right for
    // stereo.
    __m128 partials(const float* line, uint64_t position) const {
        const uint32_t w = Width ? Width : width;
        const uint32_t scaled = static_cast<uint32_t>(position & 0xFFFF) * phases;
        const float* r0 = rows + (scaled >> FrameShift) * w;
        const float* r1 = r0 + w;
        const __m128 between = _mm_set1_ps(static_cast<float>(scaled & 0xFFFF) * (1.0f / 65536));
        const float* p = line + ((position >> FrameShift) + 1 - reach) * (Stereo ? 2 : 1);
        __m128 sum = _mm_setzero_ps();
        for (uint32_t t = 0; t < w; t += 4) {
            const __m128 a = _mm_loadu_ps(r0 + t);
            const __m128 k =
                _mm_add_ps(a, _mm_mul_ps(_mm_sub_ps(_mm_loadu_ps(r1 + t), a), between));
            if (Stereo) {
                sum = _mm_add_ps(sum, _mm_mul_ps(_mm_unpacklo_ps(k, k), _mm_loadu_ps(p + 2 * t)));
                sum =
                    _mm_add_ps(sum, _mm_mul_ps(_mm_unpackhi_ps(k, k), _mm_loadu_ps(p + 2 * t + 4)));
            } else {
                sum = _mm_add_ps(sum, _mm_mul_ps(k, _mm_loadu_ps(p + t)));
            }
        }
        return sum;
    }

    void one(const float* line, uint64_t position, float* out) const {
        __m128 sum = partials(line, position);
        sum = _mm_add_ps(sum, _mm_movehl_ps(sum, sum));
        if (Stereo) {
            _mm_storel_pi(reinterpret_cast<__m64*>(out), sum);
        } else {
            sum = _mm_add_ss(sum, _mm_shuffle_ps(sum, sum, _MM_SHUFFLE(1, 1, 1, 1)));
            _mm_store_ss(out, sum);
        }
    }

    void four(const float* line, uint64_t position, uint32_t step, float* out) const {
        _mm_storeu_ps(out, laneSums(partials(line, position), partials(line, position + step),
                                    partials(line, position + 2 * step),
                                    partials(line, position + 3 * step)));
    }
};

} // namespace tolva::kernels
