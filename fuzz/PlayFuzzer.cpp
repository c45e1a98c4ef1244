// Hostile bytes loaded for playing, measured by the length scan and played for a few seconds.
// The input's size picks the length mode, silence removal and the interpolation mode, so both
// scan paths and every resampling kernel are reached.
#include "formats/SongPipeline.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

using namespace tolva;

constexpr uint32_t Rate = 22050;
constexpr uint32_t BlockFrames = 576;
constexpr uint32_t PlayedBlocks = 3 * Rate / BlockFrames;
// Ten minutes of song time keep the runs quick; the scan's own bound has a test of its own.
constexpr uint32_t ScanSeconds = 10 * 60;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SongOptions options;
    options.rate = Rate;
    options.lengthRule = (size & 1) ? LengthRule::DetectLoop : LengthRule::NoBackwardJumps;
    options.removeSilence = (size & 2) != 0;
    options.interpolation = static_cast<Interpolation>((size >> 2) & 3);
    LoadedSong song;
    if (loadSongMemory(data, size, {.song = options, .maxScanSeconds = ScanSeconds}, song) !=
        LoadFailure::None)
        return 0;
    startPlayback(song, Rate);

    std::vector<int16_t> block(2 * BlockFrames);
    const RenderFormat format = renderFormat(options, 16);
    for (uint32_t i = 0; i < PlayedBlocks; ++i)
        if (song.session->renderFrames(BlockFrames, block.data(), &format) == 0)
            break;
    return 0;
}
