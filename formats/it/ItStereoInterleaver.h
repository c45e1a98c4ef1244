#pragma once
#include <cstdint>

namespace tolva {

// Rewrites a stereo block stored as all left frames then all right frames into interleaved
// left/right frames. Answers false (block untouched) when the scratch copy cannot be made.
bool interleaveItStereo(uint8_t* block, uint32_t size, uint32_t bytesPerSample);

} // namespace tolva
