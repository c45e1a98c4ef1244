#pragma once
#include "mixer/VectorWidth.h"

#include <cstdint>

namespace tolva {

// Turns `frames` stereo frames of the 32-bit accumulator into output samples of `bits` bits
// (8, 16 or 32), dividing by the number of voices mixed and saturating. 8-bit output is
// offset binary unless `signedOutput`; 16 and 32-bit output is offset binary only without it.
// `width` chooses the loops for 16-bit output.
void convertOutput(const int32_t* accumulator, void* out, uint32_t frames, uint32_t voiceCount,
                   bool signedOutput, uint8_t bits, bool forceMono, bool reverseStereo,
                   VectorWidth width = widestVectors());

// The same as 32-bit floats: full scale 1.0 where 16-bit output reaches 32768, with no
// saturation.
void convertFloatOutput(const int32_t* accumulator, float* out, uint32_t frames,
                        uint32_t voiceCount, bool forceMono, bool reverseStereo);

// Narrows or widens the stereo image of `frames` accumulator frames: the difference of left
// and right is scaled by `percent` / 100 around their mean (0 leaves both the mean).
void separateStereo(int32_t* accumulator, uint32_t frames, uint32_t percent);

} // namespace tolva
