#include "support/LengthSongs.h"
#include "support/ScannedSong.h"

#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::test;

TEST(TrailingEmptyPatterns, StrippedOnlyWhenAsked) {
    Settings settings;
    ScannedSong kept = scanSong(trailingEmptySong(), settings);
    ASSERT_TRUE(kept.session);
    EXPECT_EQ(kept.length.lengthMs, 23040u);
    EXPECT_EQ(renderToEnd(kept, settings, 0xFFFFFFFFu), framesForRows(192));

    for (uint32_t mode : {LengthNoBackwardJumps, LengthDetectLoop}) {
        settings.lengthMode = mode;
        settings.stripTrailingEmptyPatterns = 1;
        ScannedSong stripped = scanSong(trailingEmptySong(), settings);
        ASSERT_TRUE(stripped.session);
        EXPECT_EQ(stripped.length.lengthMs, 7680u) << mode;
        EXPECT_FALSE(stripped.length.limitLength);
        EXPECT_EQ(renderToEnd(stripped, settings, 0xFFFFFFFFu), framesForRows(64));
    }
}

TEST(TrailingEmptyPatterns, PatternsWithDataAreKeptWhenStripping) {
    Settings settings;
    settings.stripTrailingEmptyPatterns = 1;
    ScannedSong song = scanSong(straightSong(), settings);
    ASSERT_TRUE(song.session);
    EXPECT_EQ(song.length.lengthMs, 15360u);
}
