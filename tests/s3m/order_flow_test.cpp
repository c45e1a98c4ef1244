#include "support/PlayerHarness.h"
#include "support/S3mBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(S3mOrderFlow, SkipMarkersArePassedAndEndMarkersEnd) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .orders({254, 0, 254, 254, 1, 255, 2})
                              .cell(0, 0, 0, s3mFx('A', 1))
                              .cell(1, 0, 0, s3mFx('C', 0x62)) // to row 62 of the next order
                              .cell(2, 0, 0, s3mFx('A', 1))
                              .build(),
                          mixer);
    const auto steps = traceRows(*player, 1000);
    ASSERT_EQ(steps.size(), 65u);
    EXPECT_EQ(steps[0], (RowStep{1, 0}));
    EXPECT_EQ(steps[63], (RowStep{1, 63}));
    EXPECT_EQ(steps[64], (RowStep{4, 0}));
    EXPECT_TRUE(player->ended); // the break leads onto the end marker
}

TEST(S3mOrderFlow, JumpAndDecimalBreak) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .orders({0, 1, 2})
                              .cell(0, 1, 0, s3mFx('B', 2))
                              .cell(0, 1, 1, s3mFx('C', 0x12))
                              .cell(2, 13, 0, s3mFx('B', 9)) // beyond the order list: ignored
                              .build(),
                          mixer);
    const auto steps = traceRows(*player, 4);
    EXPECT_EQ(steps, (std::vector<RowStep>{{0, 0}, {0, 1}, {2, 12}, {2, 13}}));
    traceRows(*player, 1000);
    EXPECT_EQ(player->songPosition, 2u * 256 + 63);
}

TEST(S3mOrderFlow, PatternLoopCountsRepeats) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .cell(0, 8, 0, s3mFx('S', 0xB0))
                              .cell(0, 15, 0, s3mFx('S', 0xB2))
                              .cell(0, 20, 0, s3mFx('S', 0xB1))
                              .build(),
                          mixer);
    std::vector<uint32_t> expected;
    append(expected, 0, 15);
    append(expected, 8, 15);
    append(expected, 8, 15);
    append(expected, 16, 20);
    append(expected, 16, 63);
    EXPECT_EQ(rowsOf(traceRows(*player, 1000)), expected);
    EXPECT_EQ(player->loopReturnCount, 0u);
}

TEST(S3mOrderFlow, PatternDelayRepeatsTheRowAndItsEffects) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64, 40))
                              .cell(0, 0, 0, s3mNote(4, 0, 1))
                              .cell(0, 1, 0, s3mFx('D', 0x02))
                              .cell(0, 1, 1, s3mFx('S', 0xE2))
                              .build(),
                          mixer);
    const auto steps = traceRows(*player, 5);
    EXPECT_EQ(rowsOf(steps), (std::vector<uint32_t>{0, 1, 1, 1, 2}));
    EXPECT_EQ(player->channel(0).volume, 40 - 3 * 5 * 2);
}

TEST(S3mOrderFlow, SpeedAndTempoCommands) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .tempo(200)
                              .cell(0, 0, 0, s3mFx('A', 3))
                              .cell(0, 1, 0, s3mFx('A', 0))
                              .cell(0, 2, 0, s3mFx('T', 0x20))
                              .cell(0, 3, 0, s3mFx('T', 0x1F))
                              .cell(0, 4, 0, s3mFx('T', 0xFF))
                              .build(),
                          mixer);
    EXPECT_EQ(mixer.slots[0].interval, 5 * 44100 / (2 * 200) & ~1u);
    playTick(*player);
    EXPECT_EQ(player->speed, 3);
    EXPECT_EQ(player->tickCountdown, 3); // this row already lasts three ticks
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(player->speed, 3); // A00 changes nothing
    playRow(*player);
    EXPECT_EQ(player->tempo, 32);
    EXPECT_EQ(mixer.slots[0].interval, 3444u);
    playRow(*player);
    EXPECT_EQ(player->speed, 31); // below 0x20, T sets the speed
    EXPECT_EQ(player->tempo, 32);
    playRow(*player);
    EXPECT_EQ(player->tempo, 255);
    EXPECT_EQ(mixer.slots[0].interval, 432u);
}

} // namespace
} // namespace tolva::test
