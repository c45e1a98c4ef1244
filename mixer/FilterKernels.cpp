#include "mixer/FilterKernels.h"

#include <emmintrin.h>

namespace tolva {

namespace {

// One frame of the recurrence in the lanes that hold a frame; the grouping of the sums is
// part of the result, so it is spelled out. A resonance peak is held at twice full scale, as
// Impulse Tracker's filter holds it, and the next frames see the held value.
inline __m128 filterFrame(__m128 x, __m128 x1, __m128 y1, __m128 y2, __m128 c0, __m128 c1,
                          __m128 c2, __m128 c3) {
    const __m128 current = _mm_add_ps(_mm_mul_ps(c0, x), _mm_mul_ps(c2, y1));
    const __m128 previous = _mm_add_ps(_mm_mul_ps(c1, x1), _mm_mul_ps(c3, y2));
    const __m128 limit = _mm_set1_ps(2.0f);
    return _mm_max_ps(_mm_min_ps(_mm_add_ps(current, previous), limit),
                      _mm_sub_ps(_mm_setzero_ps(), limit));
}

} // namespace

void filterVoiceMono(float* buffer, uint32_t frames, const float coefInput[2],
                     const float coefOutput[2], float inputState[2], float outputState[2]) {
    if (frames < 2)
        return;
    const __m128 c0 = _mm_set_ss(coefInput[0]), c1 = _mm_set_ss(coefInput[1]);
    const __m128 c2 = _mm_set_ss(coefOutput[0]), c3 = _mm_set_ss(coefOutput[1]);
    __m128 x1 = _mm_set_ss(inputState[1]), x2 = _mm_set_ss(inputState[0]);
    __m128 y1 = _mm_set_ss(outputState[1]), y2 = _mm_set_ss(outputState[0]);
    for (uint32_t i = 0; i + 2 <= frames; i += 2) {
        const __m128 xa = _mm_load_ss(buffer + i);
        const __m128 xb = _mm_load_ss(buffer + i + 1);
        const __m128 ya = filterFrame(xa, x1, y1, y2, c0, c1, c2, c3);
        const __m128 yb = filterFrame(xb, xa, ya, y1, c0, c1, c2, c3);
        _mm_store_ss(buffer + i, ya);
        _mm_store_ss(buffer + i + 1, yb);
        x2 = xa;
        x1 = xb;
        y2 = ya;
        y1 = yb;
    }
    _mm_store_ss(inputState, x2);
    _mm_store_ss(inputState + 1, x1);
    _mm_store_ss(outputState, y2);
    _mm_store_ss(outputState + 1, y1);
}

void filterVoiceStereo(float* buffer, uint32_t frames, const float coefInput[2],
                       const float coefOutput[2], float inputState[4], float outputState[4]) {
    if (frames < 2)
        return;
    const __m128 c0 = _mm_set1_ps(coefInput[0]), c1 = _mm_set1_ps(coefInput[1]);
    const __m128 c2 = _mm_set1_ps(coefOutput[0]), c3 = _mm_set1_ps(coefOutput[1]);
    // Each register holds frames n-2 and n-1 (or a pair being filtered) as L, R, L, R.
    __m128 x = _mm_loadu_ps(inputState);
    __m128 y = _mm_loadu_ps(outputState);
    for (uint32_t i = 0; i + 2 <= frames; i += 2) {
        const __m128 in = _mm_loadu_ps(buffer + 2 * i);
        const __m128 x1 = _mm_movehl_ps(x, x);
        const __m128 y1 = _mm_movehl_ps(y, y);
        const __m128 ya = filterFrame(in, x1, y1, y, c0, c1, c2, c3);
        const __m128 yb = filterFrame(_mm_movehl_ps(in, in), in, ya, y1, c0, c1, c2, c3);
        x = in;
        y = _mm_movelh_ps(ya, yb);
        _mm_storeu_ps(buffer + 2 * i, y);
    }
    _mm_storeu_ps(inputState, x);
    _mm_storeu_ps(outputState, y);
}

} // namespace tolva
