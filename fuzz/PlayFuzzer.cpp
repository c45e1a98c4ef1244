// Hostile bytes loaded for playing, measured by the length scan and played for a few seconds.
// The input's size picks the length mode and silence removal, so both scan paths are reached.
#include "engine/LengthScan.h"
#include "engine/PlaybackStart.h"
#include "engine/Player.h"
#include "engine/SongSettings.h"
#include "settings/Settings.h"
#include "song/MemoryStream.h"
#include "song/SongSession.h"

#include <cstddef>
#include <cstdint>
#include <memory>
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
    MemoryStream stream(data, size);
    std::unique_ptr<SongSession> session = createSession(stream, false);
    if (!session)
        return 0;

    Settings settings;
    settings.mixingFrequency = Rate;
    settings.lengthMode = (size & 1) ? LengthDetectLoop : LengthNoBackwardJumps;
    settings.removeSilence = (size & 2) ? 1 : 0;
    applySettings(session->player(), settings, false);
    const SongLength length = scanLength(*session, settings, ScanSeconds);
    startPlayback(*session, length, Rate);

    std::vector<int16_t> block(2 * BlockFrames);
    RenderFormat format;
    for (uint32_t i = 0; i < PlayedBlocks; ++i)
        if (session->renderFrames(BlockFrames, block.data(), &format) == 0)
            break;
    return 0;
}
