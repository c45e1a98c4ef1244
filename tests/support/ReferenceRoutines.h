#pragma once
// Plain scalar statements of the mixing arithmetic, frame by frame, to hold the vector
// routines against.
#include "mixer/MixRoutines.h"

namespace tolva::test {

uint32_t referenceAccumulateRun(VoiceCursor& cursor, int32_t* accumulator, uint32_t frames,
                                const RunGains& gains, bool interpolate, LastFrame& last);
uint32_t referenceRenderFloatRun(VoiceCursor& cursor, float* buffer, uint32_t frames,
                                 bool interpolate);
void referenceMixFloatBack(const float* buffer, bool stereo, int32_t* accumulator, uint32_t frames,
                           const RunGains& gains, LastFrame& last);

} // namespace tolva::test
