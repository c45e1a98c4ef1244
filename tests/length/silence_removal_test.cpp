#include "support/ModBuilder.h"
#include "support/ScannedSong.h"

#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::test;

namespace {

constexpr uint32_t Rate = 44100;

Settings removing(uint32_t trailingSeconds) {
    return {.trailingSilenceSeconds = trailingSeconds, .removeSilence = 1};
}

} // namespace

TEST(SilenceRemoval, StartLengthAndPlayback) {
    const Settings looping{.lengthMode = LengthDetectLoop,
                           .trailingSilenceSeconds = 0,
                           .extraLoopSeconds = 3,
                           .removeSilence = 1,
                           .extraPlayTime = 1};
    // Row 8 with a note delayed by one tick starts on tick 49, 882 frames before 1 s; its voice
    // fades in from silence over that last tick.
    const std::vector<uint8_t> lateAttack =
        ModBuilder().sample(squareSample(64)).cell(0, 8, 0, note(25, 1, 0xE, 0xD1)).build();
    const std::vector<uint8_t> silent =
        ModBuilder().orders({0, 1}).cell(0, 10, 3, fx(0xC, 0)).cell(1, 10, 3, fx(0xC, 0)).build();
    // Playback starts at the second in which the note first sounds; after the last second with
    // sound, ending at 24 s, as many silent seconds as asked are kept, as far as the song goes.
    const struct {
        const char* what;
        std::vector<uint8_t> song;
        Settings settings;
        uint32_t startMs, lengthMs, rendered;
    } cases[] = {
        {"off", silentEdgesSong(), Settings{}, 0, 46080, framesForRows(384)},
        {"one trailing second", silentEdgesSong(), removing(1), 23000, 2000, 2 * Rate},
        {"no trailing second", silentEdgesSong(), removing(0), 23000, 1000, Rate},
        {"more than the song has", silentEdgesSong(), removing(MaxSilenceOrExtraSeconds), 23000,
         46080 - 23000, framesForRows(384) - 23 * Rate},
        // No return happens, so no extra seconds either.
        {"looping", silentEdgesSong(), looping, 23000, 46080 - 23000,
         framesForRows(384) - 23 * Rate},
        {"sound from 20 ms to the end", trailingEmptySong(), removing(2), 0, 23040,
         framesForRows(192)},
        {"attack just before a second", lateAttack, removing(2), 0, 7680, framesForRows(64)},
        {"never sounds", silent, removing(2), 0, 2000, 2 * Rate},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScannedSong song = scanSong(c.song, c.settings);
        ASSERT_TRUE(song.session);
        EXPECT_EQ(song.length.startOffsetMs, c.startMs);
        EXPECT_EQ(song.length.lengthMs, c.lengthMs);
        EXPECT_FALSE(song.length.looped);
        EXPECT_EQ(song.length.limitLength, c.settings.removeSilence != 0); // cut at the length
        int64_t first = 0;
        EXPECT_EQ(renderToEnd(song, c.settings, 0xFFFFFFFFu, &first), c.rendered);
        if (c.startMs > 0) { // the note that starts on tick 1152 (row 192), 23.04 s in
            EXPECT_GE(first, framesForRows(192) - 23 * Rate);
            EXPECT_LT(first, framesForRows(192) - 23 * Rate + 64);
        }
    }
}
