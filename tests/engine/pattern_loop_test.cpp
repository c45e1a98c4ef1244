#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(PatternLoop, CountsRepeatsAndALaterLoopStartsAfterTheFirst) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .cell(0, 8, 0, fx(0xE, 0x60))
                              .cell(0, 15, 0, fx(0xE, 0x62))
                              .cell(0, 20, 0, fx(0xE, 0x63))
                              .build(),
                          mixer);
    std::vector<uint32_t> expected;
    append(expected, 0, 15);
    append(expected, 8, 15);
    append(expected, 8, 15);
    for (int pass = 0; pass < 4; ++pass)
        append(expected, 16, 20);
    append(expected, 21, 63);
    const auto steps = traceRows(*player, 1000);
    EXPECT_EQ(rowsOf(steps), expected);
    EXPECT_TRUE(player->ended);
    EXPECT_EQ(player->loopReturnCount, 0u); // looping inside a pattern is no revisit
}

TEST(PatternLoop, LoopsOfTwoChannelsNest) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .cell(0, 0, 0, fx(0xE, 0x60))
                              .cell(0, 2, 1, fx(0xE, 0x60))
                              .cell(0, 3, 1, fx(0xE, 0x61))
                              .cell(0, 4, 0, fx(0xE, 0x61))
                              .build(),
                          mixer);
    const std::vector<uint32_t> expected{0, 1, 2, 3, 2, 3, 4, 0, 1, 2, 3, 2, 3, 4, 5};
    EXPECT_EQ(rowsOf(traceRows(*player, 15)), expected);
}

TEST(PatternLoop, TwoLoopsEndingOnOneRowReplayTheSameOrder) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .orders({0, 1})
                              .cell(0, 3, 0, fx(0xE, 0x61))
                              .cell(0, 3, 1, fx(0xE, 0x61))
                              .build(),
                          mixer);
    const auto steps = traceRows(*player, 9);
    EXPECT_EQ(steps, (std::vector<RowStep>{
                         {0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}}));
    traceRows(*player, 1000);
    EXPECT_EQ(player->songPosition, 256u + 63); // the second order is played too
}

TEST(PatternLoop, BreakAndJumpWaitWhileALoopRuns) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .orders({0, 1})
                              .cell(0, 1, 0, fx(0xE, 0x60))
                              .cell(0, 2, 0, fx(0xE, 0x61))
                              .cell(0, 2, 1, fx(0xD, 0x00))
                              .build(),
                          mixer);
    // On the first pass the loop counter is set when the break is seen: it is ignored. On the
    // second pass the loop has finished before channel 1 breaks.
    const auto steps = traceRows(*player, 6);
    EXPECT_EQ(steps, (std::vector<RowStep>{{0, 0}, {0, 1}, {0, 2}, {0, 1}, {0, 2}, {1, 0}}));
}

} // namespace
} // namespace tolva::test
