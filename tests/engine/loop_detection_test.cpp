#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// Orders 0, 1; pattern 1 jumps back to order 0 on its first row.
ModBuilder jumpingBack() {
    return ModBuilder().orders({0, 1}).cell(1, 0, 0, fx(0xB, 0x00));
}

TEST(LoopDetection, EndsAtTheFirstPositionPlayedTwice) {
    RecordingMixer mixer;
    auto player = playMod(jumpingBack().build(), mixer);
    const auto rows = traceRows(*player, 1000);
    EXPECT_EQ(rows.size(), 65u);
    EXPECT_EQ(rows.back(), (RowStep{1, 0}));
    EXPECT_TRUE(player->ended);
    EXPECT_EQ(player->loopStartPosition, 0);
    EXPECT_EQ(player->loopReturnCount, 1u);
}

TEST(LoopDetection, LoopLimitCountsReturnsToTheFirstRevisitedPosition) {
    RecordingMixer mixer;
    auto player = playMod(jumpingBack().build(), mixer);
    player->maxLoops = 3;
    EXPECT_EQ(traceRows(*player, 1000).size(), 65u * 3);
    EXPECT_EQ(player->loopReturnCount, 3u);
}

TEST(LoopDetection, WithoutBackwardJumpsARevisitedOrderIsSkipped) {
    RecordingMixer mixer;
    // Order 1 jumps to itself at row 10: allowed, but its first row was played: skip to order 2.
    auto player =
        playMod(ModBuilder().orders({0, 1, 2}).cell(1, 10, 0, fx(0xB, 0x01)).build(), mixer);
    player->songFlags |= SongNoBackwardJumps;
    const auto rows = traceRows(*player, 1000);
    ASSERT_EQ(rows.size(), 64u + 11 + 64);
    EXPECT_EQ(rows[64 + 10], (RowStep{1, 10}));
    EXPECT_EQ(rows[64 + 11], (RowStep{2, 0}));
    EXPECT_EQ(player->loopReturnCount, 0u);
}

TEST(LoopDetection, WithoutBackwardJumpsAJumpBeforeTheCurrentOrderIsIgnored) {
    RecordingMixer mixer;
    auto player = playMod(jumpingBack().build(), mixer);
    player->songFlags |= SongNoBackwardJumps;
    EXPECT_EQ(traceRows(*player, 1000).size(), 128u);
}

TEST(OrderList, SkipMarkersTakeNoTimeAndOnlySkipsEndAtOnce) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder().orders({0, 1}).build(), mixer);
    player->song.orders[0] = OrderSkip;
    auto rows = traceRows(*player, 2);
    EXPECT_EQ(rows[0], (RowStep{1, 0}));

    player->restartSong();
    player->song.orders[1] = OrderSkip;
    EXPECT_FALSE(player->onTick(0, 0));
}

TEST(OrderList, RestartPositionLoopsAndIsDetected) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder().orders({0, 1}).build(), mixer);
    player->song.restartPosition = 1;
    const auto rows = traceRows(*player, 1000);
    EXPECT_EQ(rows.size(), 128u);
    EXPECT_EQ(player->loopStartPosition, 256);
}

TEST(OrderList, ARestartOntoNothingPlayableEnds) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder().orders({0}).build(), mixer);
    player->song.orders[0] = OrderSkip;
    player->song.restartPosition = 0;
    EXPECT_FALSE(player->onTick(0, 0));
}

TEST(OrderList, TrailingEmptyPatternsAreSkippedOnRequest) {
    const auto bytes =
        ModBuilder().orders({0, 1, 1}).cell(0, 0, 0, fx(0xF, 0x06)).build(); // 1 is all zero
    RecordingMixer mixer;
    auto player = playMod(bytes, mixer);
    EXPECT_EQ(traceRows(*player, 1000).size(), 192u);
    player->restartSong();
    player->songFlags |= SongSkipTrailingEmpty;
    EXPECT_EQ(traceRows(*player, 1000).size(), 64u);
}

} // namespace
} // namespace tolva::test
