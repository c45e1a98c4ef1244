#include "mixer/AccumulateSink.h"
#include "mixer/MixRoutines.h"
#include "mixer/ResampleRun.h"
#if TOLVA_WIDE_MIXING
#include "mixer/QuadSteps.h"
#endif

#include <emmintrin.h>

namespace tolva {

namespace {

template <class Format, bool Backwards, bool Interpolate, class Steps>
uint32_t accumulateVariant(VoiceCursor& c, uint32_t pairs, AccumulateTarget& t) {
    AccumulateSink<Format::Stereo> sink{t};
    const uint32_t done =
        resample::variantRun<Format, Backwards, Interpolate, Steps>(c, pairs, sink);
    t.out = sink.t.out;
    t.last = sink.t.last;
    return done;
}

template <bool Interpolate, class Steps>
constexpr uint32_t (*AccumulateVariants[8])(VoiceCursor&, uint32_t, AccumulateTarget&) = {
    accumulateVariant<Mono8, false, Interpolate, Steps>,
    accumulateVariant<Mono16, false, Interpolate, Steps>,
    accumulateVariant<Mono8, true, Interpolate, Steps>,
    accumulateVariant<Mono16, true, Interpolate, Steps>,
    accumulateVariant<Stereo8, false, Interpolate, Steps>,
    accumulateVariant<Stereo16, false, Interpolate, Steps>,
    accumulateVariant<Stereo8, true, Interpolate, Steps>,
    accumulateVariant<Stereo16, true, Interpolate, Steps>,
};

template <class Steps>
uint32_t runAll(VoiceCursor& cursor, uint32_t frames, bool interpolate, AccumulateTarget& t) {
    return interpolate ? resample::runVariants(cursor, frames, AccumulateVariants<true, Steps>, t)
                       : resample::runVariants(cursor, frames, AccumulateVariants<false, Steps>, t);
}

__m128i broadcast(uint32_t value) {
    return _mm_set1_epi32(static_cast<int>(value));
}

} // namespace

uint32_t accumulateRun(VoiceCursor& cursor, int32_t* accumulator, uint32_t frames,
                       const RunGains& g, bool interpolate, LastFrame& last, VectorWidth width) {
    AccumulateTarget t;
    t.out = accumulator;
    t.toLeft = broadcast(g.toLeft);
    t.toRight = broadcast(g.toRight);
    t.bias = _mm_set_epi32(int(g.biasRight), int(g.biasLeft), int(g.biasRight), int(g.biasLeft));
    t.negate = g.negateRight ? _mm_set_epi32(-1, 0, -1, 0) : _mm_setzero_si128();
    t.hold = _mm_set_epi32(g.holdRight, g.holdLeft, g.holdRight, g.holdLeft);
    t.last = _mm_setzero_si128();
#if TOLVA_WIDE_MIXING
    const uint32_t done = width == VectorWidth::Avx2
                              ? runAll<resample::QuadSteps>(cursor, frames, interpolate, t)
                              : runAll<resample::PairSteps>(cursor, frames, interpolate, t);
#else
    (void)width;
    const uint32_t done = runAll<resample::PairSteps>(cursor, frames, interpolate, t);
#endif
    if (done > 0) {
        last.left = _mm_cvtsi128_si32(_mm_shuffle_epi32(t.last, _MM_SHUFFLE(3, 2, 3, 2)));
        last.right = _mm_cvtsi128_si32(_mm_shuffle_epi32(t.last, _MM_SHUFFLE(3, 2, 3, 3)));
    }
    return done;
}

} // namespace tolva
