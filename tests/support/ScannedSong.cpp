#include "support/ScannedSong.h"

#include "settings/SettingsConversion.h"
#include "song/MemoryStream.h"

#include <gtest/gtest.h>

namespace tolva::test {

ScannedSong scanSong(const std::vector<uint8_t>& moduleBytes, const Settings& settings,
                     uint32_t maxSeconds) {
    MemoryStream stream(moduleBytes);
    ScannedSong song;
    LoadOptions options = loadOptions(settings);
    options.maxScanSeconds = maxSeconds;
    EXPECT_EQ(loadSong(stream, options, song), LoadFailure::None);
    return song;
}

uint32_t renderToEnd(ScannedSong& song, const Settings& settings, uint32_t maxFrames,
                     int64_t* firstSound) {
    startPlayback(song, settings.mixingFrequency);
    if (firstSound)
        *firstSound = -1;
    std::vector<int16_t> block(576 * 2);
    RenderFormat format;
    uint32_t total = 0;
    for (uint32_t n = 1; n != 0 && total < maxFrames; total += n) {
        n = song.session->renderFrames(576, block.data(), &format);
        for (uint32_t i = 0; firstSound && *firstSound < 0 && i < 2 * n; ++i)
            if (block[i] != 0)
                *firstSound = total + i / 2;
    }
    return total;
}

} // namespace tolva::test
