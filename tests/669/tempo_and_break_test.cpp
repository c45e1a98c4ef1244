#include "support/Composer669Builder.h"
#include "support/FormatPlayers.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// Ticks of each row until the song ends.
std::vector<int> ticksPerRow(Player& player) {
    std::vector<int> ticks;
    while (!player.ended && ticks.size() < 1000) {
        int n = 0;
        do {
            player.onTick(0, 0);
            ++n;
        } while (player.tickCountdown != 1 && !player.ended);
        if (!player.ended)
            ticks.push_back(n);
    }
    return ticks;
}

TEST(TempoAndBreak669, EachPatternPlaysAtItsTempoListSpeedForItsBreakRowPlusOneRows) {
    RecordingMixer mixer;
    auto player = play669(Composer669Builder()
                              .orders({0, 1})
                              .tempo(0, 3)
                              .breakRow(0, 1)
                              .tempo(1, 5)
                              .breakRow(1, 2)
                              .build(),
                          mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(ticksPerRow(*player), (std::vector<int>{3, 3, 5, 5, 5}));
}

TEST(TempoAndBreak669, BreakRow31GivesPatternsOf32Rows) {
    RecordingMixer mixer;
    auto player = play669(Composer669Builder().orders({0, 0}).breakRow(0, 31).build(), mixer);
    ASSERT_TRUE(player);
    const auto rows = traceRows(*player, 1000);
    ASSERT_EQ(rows.size(), 64u);
    EXPECT_EQ(rows[31], (RowStep{0, 31}));
    EXPECT_EQ(rows[32], (RowStep{1, 0}));
}

TEST(TempoAndBreak669, SpeedEffectHoldsUntilTheNextPattern) {
    RecordingMixer mixer;
    auto player = play669(Composer669Builder()
                              .orders({0, 1})
                              .tempo(0, 4)
                              .breakRow(0, 3)
                              .tempo(1, 4)
                              .breakRow(1, 1)
                              .cell(0, 1, 6, effect669(5, 2))
                              .build(),
                          mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(ticksPerRow(*player), (std::vector<int>{4, 2, 2, 2, 4, 4}));
    EXPECT_EQ(player->tempo, 78); // the speed effect never reaches the beat rate
}

TEST(TempoAndBreak669, BreakRowsBeyondTheStoredRowsPlayThe64Rows) {
    RecordingMixer mixer;
    auto player = play669(Composer669Builder().breakRow(0, 200).build(), mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(traceRows(*player, 1000).size(), 64u);
}

TEST(TempoAndBreak669, TempoEntryZeroKeepsTheSpeedPlaying) {
    RecordingMixer mixer;
    auto player = play669(Composer669Builder()
                              .orders({0, 1})
                              .tempo(0, 3)
                              .breakRow(0, 0)
                              .tempo(1, 0)
                              .breakRow(1, 1)
                              .build(),
                          mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(ticksPerRow(*player), (std::vector<int>{3, 3, 3}));
}

} // namespace
} // namespace tolva::test
