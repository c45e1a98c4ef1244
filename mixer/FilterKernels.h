#pragma once
#include <cstdint>

namespace tolva {

// Two-pole resonant filter over a voice's float rendering, in place:
// y[n] = (c0 x[n] + c2 y[n-1]) + (c1 x[n-1] + c3 y[n-2]) with coefInput = (c0, c1) and
// coefOutput = (c2, c3), y held within -2..2. Frames are taken in pairs; the states carry the last
// two inputs and outputs from one call to the next.

// inputState = (x[n-2], x[n-1]), outputState = (y[n-2], y[n-1]).
void filterVoiceMono(float* buffer, uint32_t frames, const float coefInput[2],
                     const float coefOutput[2], float inputState[2], float outputState[2]);

// Interleaved left, right; both channels share the coefficients. inputState = (xL[n-2],
// xR[n-2], xL[n-1], xR[n-1]), outputState likewise.
void filterVoiceStereo(float* buffer, uint32_t frames, const float coefInput[2],
                       const float coefOutput[2], float inputState[4], float outputState[4]);

} // namespace tolva
