// Hostile bytes loaded for playing, measured by the length scan and played for a few seconds.
// The input's size picks the length mode and silence removal, so both scan paths are reached.
#include "engine/SongPipeline.h"
#include "song/MemoryStream.h"

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
    enableAllFormats();
    Settings settings;
    settings.mixingFrequency = Rate;
    settings.lengthMode = (size & 1) ? LengthDetectLoop : LengthNoBackwardJumps;
    settings.removeSilence = (size & 2) ? 1 : 0;
    MemoryStream stream(data, size);
    LoadedSong song;
    if (loadSong(stream, settings, song, {.maxScanSeconds = ScanSeconds}) != LoadFailure::None)
        return 0;
    startPlayback(song, Rate);

    std::vector<int16_t> block(2 * BlockFrames);
    const RenderFormat format = renderFormat(settings, 16);
    for (uint32_t i = 0; i < PlayedBlocks; ++i)
        if (song.session->renderFrames(BlockFrames, block.data(), &format) == 0)
            break;
    return 0;
}
