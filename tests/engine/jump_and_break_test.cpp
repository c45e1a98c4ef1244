#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

std::vector<RowStep> trace(ModBuilder builder, uint32_t rows) {
    RecordingMixer mixer;
    auto player = playMod(builder.build(), mixer);
    EXPECT_TRUE(player);
    return traceRows(*player, rows);
}

TEST(PatternBreak, ContinuesWithTheNextOrderAtTheGivenDecimalRow) {
    const auto rows = trace(ModBuilder().orders({0, 1}).cell(0, 3, 1, fx(0xD, 0x15)), 6);
    EXPECT_EQ(rows, (std::vector<RowStep>{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {1, 15}, {1, 16}}));
}

TEST(PatternBreak, RowBeyondThePatternStartsAtTheTop) {
    const auto rows = trace(ModBuilder().orders({0, 1}).cell(0, 0, 0, fx(0xD, 0x64)), 3);
    EXPECT_EQ(rows, (std::vector<RowStep>{{0, 0}, {1, 0}, {1, 1}}));
}

TEST(PositionJump, GoesToTheStartOfTheOrder) {
    const auto rows = trace(ModBuilder().orders({0, 1, 2}).cell(0, 1, 0, fx(0xB, 0x02)), 4);
    EXPECT_EQ(rows, (std::vector<RowStep>{{0, 0}, {0, 1}, {2, 0}, {2, 1}}));
}

TEST(PositionJump, BeyondTheSongLengthIsIgnored) {
    const auto rows = trace(ModBuilder().orders({0, 1}).cell(0, 1, 0, fx(0xB, 0x05)), 3);
    EXPECT_EQ(rows, (std::vector<RowStep>{{0, 0}, {0, 1}, {0, 2}}));
}

TEST(JumpWithBreak, SameRowGoesToTheJumpOrderAtTheBreakRowOnlyWhenTheBreakFollows) {
    // ProTracker reads the channels in turn: the jump resets the break row a channel before set.
    const std::vector<RowStep> start{{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}};
    std::vector<RowStep> expected = start;
    expected.insert(expected.end(), {{2, 10}, {2, 11}});
    EXPECT_EQ(trace(ModBuilder()
                        .orders({0, 1, 2})
                        .cell(0, 5, 0, fx(0xB, 0x02))
                        .cell(0, 5, 1, fx(0xD, 0x10)),
                    8),
              expected);
    expected = start;
    expected.insert(expected.end(), {{2, 0}, {2, 1}});
    EXPECT_EQ(trace(ModBuilder()
                        .orders({0, 1, 2})
                        .cell(0, 5, 0, fx(0xD, 0x10))
                        .cell(0, 5, 3, fx(0xB, 0x02)),
                    8),
              expected);
}

TEST(JumpWithBreak, InDifferentRowsTheLaterOneWins) {
    const auto rows = trace(
        ModBuilder().orders({0, 1, 2, 1}).cell(0, 1, 0, fx(0xB, 0x02)).cell(2, 2, 2, fx(0xD, 0x07)),
        6);
    EXPECT_EQ(rows, (std::vector<RowStep>{{0, 0}, {0, 1}, {2, 0}, {2, 1}, {2, 2}, {3, 7}}));
}

} // namespace
} // namespace tolva::test
