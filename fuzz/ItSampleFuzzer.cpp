// Hostile compressed IT sample data, decoded on its own. The first byte chooses the layout
// (bit 0: 16-bit, bit 1: two integration stages, bit 2: stereo), the next three give the frame
// count; the rest is the stream of blocks.
#include "formats/it/ItSampleDecompression.h"
#include "mixer/SoftwareMixer.h"
#include "song/MemoryStream.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace {

using namespace tolva;

struct MixerDeleter {
    void operator()(Mixer* mixer) const { destroyMixer(mixer); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 4)
        return 0;
    const uint32_t bytesPerSample = (data[0] & 1) ? 2 : 1;
    const bool doubleDelta = (data[0] & 2) != 0;
    const bool stereo = (data[0] & 4) != 0;
    const uint32_t frames = data[1] | data[2] << 8 | static_cast<uint32_t>(data[3]) << 16;
    const uint8_t* blocks = data + 4;
    const size_t blockBytes = size - 4;

    std::unique_ptr<Mixer, MixerDeleter> mixer(createMixer());
    if (!mixer)
        return 0;
    MemoryStream stream(blocks, blockBytes);
    if (uint8_t* pcm =
            decompressItSample(*mixer, stream, frames, bytesPerSample, doubleDelta, stereo))
        mixer->freeSampleData(pcm);

    // The same bytes as one block of its own, as long as the block length allows.
    const uint32_t perBlock = bytesPerSample == 2 ? ItBlockValues16 : ItBlockValues8;
    const uint32_t count = frames < perBlock ? frames : perBlock;
    std::vector<uint8_t> out(static_cast<size_t>(count) * bytesPerSample);
    const uint32_t blockSize =
        blockBytes < ItMaxBlockBytes ? static_cast<uint32_t>(blockBytes) : ItMaxBlockBytes;
    std::vector<uint8_t> block(blocks, blocks + blockSize);
    decodeItBlock(block.data(), blockSize, out.data(), count, bytesPerSample, doubleDelta);
    return 0;
}
