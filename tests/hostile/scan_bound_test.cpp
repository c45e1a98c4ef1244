// Songs that would play for days: the length scan stops at its bound and the playback limit
// cuts the song there.
#include "engine/LengthScan.h"
#include "engine/Player.h"
#include "support/ModBuilder.h"
#include "support/ScannedSong.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// One pattern of 64 rows at 31 ticks per row and 32 beats per minute (2.5 minutes) that jumps
// back to its start.
std::vector<uint8_t> slowLoop() {
    ModBuilder b;
    b.sample(squareSample(64));
    b.cell(0, 0, 0, note(37, 1, 0xF, 0x20));
    b.cell(0, 0, 1, fx(0xF, 0x1F));
    b.cell(0, 63, 0, fx(0xB, 0));
    return b.build();
}

Settings loopsByCount(uint32_t count) {
    Settings s;
    s.lengthMode = LengthDetectLoop;
    s.extraPlayTime = 1;
    s.loopByCount = 1;
    s.loopCount = count;
    return s;
}

TEST(ScanBound, AHugeLoopCountIsMeasuredUntilTheFrameCountersAreFullAndCutThere) {
    // The song comes back every pass, so its passes are measured past the two-hour bound, up
    // to the 0xFFFFFFFE frames the counters hold: 97391.548 s at 44100 Hz.
    for (uint32_t count : {MaxLoopCount, 0xFFFFFFFFu}) {
        SCOPED_TRACE(count);
        ScannedSong song = scanSong(slowLoop(), loopsByCount(count));
        ASSERT_TRUE(song.session);
        EXPECT_EQ(song.length.lengthMs, 97391548u);
        EXPECT_TRUE(song.length.limitLength);
        EXPECT_EQ(lengthLimitMs(song.length), 97391548u);
        EXPECT_EQ(song.session->player().playedFrames, 0u); // rewound for playing
    }
}

TEST(ScanBound, ASongThatEndsBeforeTheBoundIsNotCut) {
    ScannedSong song = scanSong(slowLoop(), loopsByCount(3));
    ASSERT_TRUE(song.session);
    // Three passes of 64 rows x 31 ticks, a tick being 5 x 44100 / 64 frames; the first ticks
    // run before the tempo change.
    const uint64_t frames = 3ull * 64 * 31 * (5 * 44100 / 64);
    EXPECT_NEAR(song.length.lengthMs, framesToMs(frames, 44100), 500);
    EXPECT_TRUE(song.length.limitLength); // it looped
}

} // namespace
} // namespace tolva::test
