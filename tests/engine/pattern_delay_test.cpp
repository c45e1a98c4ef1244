#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace tolva::test {
namespace {

TEST(PatternDelay, RepeatsTheRowWithoutRetriggeringButRunsItsEffectsAgain) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64, 40))
                              .cell(0, 2, 0, fx(0xE, 0xE2))
                              .cell(0, 2, 1, note(25, 1, 0xE, 0xA1))
                              .build(),
                          mixer);
    const auto steps = traceRows(*player, 6);
    EXPECT_EQ(steps, (std::vector<RowStep>{{0, 0}, {0, 1}, {0, 2}, {0, 2}, {0, 2}, {0, 3}}));
    EXPECT_EQ(mixer.voices[1].starts, 1u);
    EXPECT_EQ(player->channel(1).volume, 43);
}

TEST(PatternDelay, TheLastChannelsDelayOnARowStands) {
    const std::tuple<uint8_t, uint8_t, size_t> cases[] = {{2, 6, 7}, {6, 0, 1}, {0, 3, 4}};
    for (const auto& [first, second, passes] : cases) {
        RecordingMixer mixer;
        auto player = playMod(ModBuilder()
                                  .cell(0, 0, 0, fx(0xE, 0xE0 | first))
                                  .cell(0, 0, 2, fx(0xE, 0xE0 | second))
                                  .build(),
                              mixer);
        const auto steps = traceRows(*player, 8);
        EXPECT_EQ(std::count(steps.begin(), steps.end(), RowStep{0, 0}), passes) << int(first);
    }
}

TEST(PatternDelay, RowsLastSpeedTicksEach) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder().cell(0, 0, 0, fx(0xE, 0xE1)).build(), mixer);
    int ticks = 0;
    do {
        playTick(*player);
        ++ticks;
    } while (player->songPosition == 0);
    EXPECT_EQ(ticks, 2 * 6 + 1); // two passes of row 0, then row 1 starts
}

} // namespace
} // namespace tolva::test
