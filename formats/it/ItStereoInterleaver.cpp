#include "formats/it/ItStereoInterleaver.h"

#include "platform/Heap.h"

#include <cstring>

namespace tolva {

bool interleaveItStereo(uint8_t* block, uint32_t size, uint32_t bytesPerSample) {
    uint32_t frameBytes = 2 * bytesPerSample;
    uint32_t frames = size / frameBytes;
    if (frames == 0)
        return true;
    uint32_t half = frames * bytesPerSample;
    auto* planar = static_cast<uint8_t*>(platform::allocate(2 * half));
    if (!planar)
        return false;
    std::memcpy(planar, block, 2 * half);
    for (uint32_t i = 0; i < frames; ++i) {
        std::memcpy(block + i * frameBytes, planar + i * bytesPerSample, bytesPerSample);
        std::memcpy(block + i * frameBytes + bytesPerSample, planar + half + i * bytesPerSample,
                    bytesPerSample);
    }
    platform::release(planar);
    return true;
}

} // namespace tolva
