#include "song/StereoSampleData.h"

#include "mixer/Mixer.h"
#include "platform/Heap.h"
#include "song/ByteReader.h"

#include <algorithm>
#include <cstring>

namespace tolva {

uint8_t* readPlanarStereo(Mixer& mixer, InputStream& stream, uint32_t& frames,
                          uint32_t bytesPerSample) {
    ByteReader in(stream);
    const uint64_t held = in.left();
    const uint64_t side = uint64_t{frames} * bytesPerSample;
    // Both sides together stay within a 32-bit size.
    const uint64_t room = std::min<uint64_t>(held, INT32_MAX) / bytesPerSample;
    frames = static_cast<uint32_t>(std::min<uint64_t>(frames, room));
    const uint32_t kept = frames * bytesPerSample;
    if (kept == 0)
        return nullptr;
    uint8_t* block = mixer.allocateSampleData(2 * kept);
    if (!block)
        return nullptr;
    const uint32_t rightHeld =
        held > side ? static_cast<uint32_t>(std::min<uint64_t>(held - side, kept)) : 0;
    std::memset(block + kept + rightHeld, 0, kept - rightHeld);
    const uint64_t at = in.position();
    in.bytes(block, kept);
    if (rightHeld)
        in.at(at + side).bytes(block + kept, rightHeld);
    if (!in.ok()) {
        mixer.freeSampleData(block);
        frames = 0;
        return nullptr;
    }
    return block;
}

bool interleaveStereo(uint8_t* block, uint32_t size, uint32_t bytesPerSample) {
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
