#pragma once
#include "mixer/Mixer.h"

#include <cstdint>

namespace tolva {

// Rewrites a stereo block stored as all left frames then all right frames into interleaved
// left/right frames. Answers false (block untouched) when the scratch copy cannot be made.
bool interleaveItStereo(uint8_t* block, uint32_t size, uint32_t bytesPerSample);

// The converter handed to the Mixer for uncompressed IT sample data: convA is the bit width
// (8 or 16), convB non-zero for stereo data. One per load, since it remembers a failure.
class ItStereoInterleaver final : public SampleConverter {
public:
    void convert(uint8_t* block, uint32_t size, uint32_t bits, uint32_t stereo) override;
    // True when a block stayed planar for want of memory for the copy.
    bool failed() const { return failed_; }

private:
    bool failed_ = false;
};

} // namespace tolva
