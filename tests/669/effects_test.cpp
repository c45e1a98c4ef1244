#include "support/Composer669Builder.h"
#include "support/FormatPlayers.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// Channel 0 plays note 25 (period 428) at row 0; rows last four ticks, so an effect that
// works per tick acts three times a row.
class Effects669 : public ::testing::Test {
protected:
    Composer669Builder song() {
        Composer669Builder builder;
        builder.sample(square669(32)).tempo(0, 4);
        return builder;
    }

    void start(const Composer669Builder& builder) {
        player_ = play669(builder.build(), mixer_);
        ASSERT_TRUE(player_);
    }

    // The sounding period of channel 0 after each of the next `rows` rows.
    std::vector<int32_t> periodsAfterRows(int rows) {
        std::vector<int32_t> periods;
        for (int i = 0; i < rows; ++i) {
            playRow(*player_);
            periods.push_back(soundingPeriod(player_->channel(0)));
        }
        return periods;
    }

    RecordingMixer mixer_;
    std::unique_ptr<Player> player_;
};

TEST_F(Effects669, PortamentoUpRunsOnOverRowsWithoutEffectUntilANote) {
    start(
        song().cell(0, 0, 0, note669(25, 0, 8).withEffect(0, 3)).cell(0, 3, 0, note669(25, 0, 8)));
    EXPECT_EQ(periodsAfterRows(4), (std::vector<int32_t>{419, 410, 401, 428}));
}

TEST_F(Effects669, PortamentoDownRaisesThePeriod) {
    start(song().cell(0, 0, 0, note669(25, 0, 8).withEffect(1, 2)));
    EXPECT_EQ(periodsAfterRows(2), (std::vector<int32_t>{434, 440}));
}

TEST_F(Effects669, TonePortamentoSlidesToTheNoteWithoutRestarting) {
    start(
        song().cell(0, 0, 0, note669(25, 0, 8)).cell(0, 1, 0, note669(27, 0, 8).withEffect(2, 15)));
    EXPECT_EQ(periodsAfterRows(3), (std::vector<int32_t>{428, 383, 381}));
    EXPECT_EQ(mixer_.voices[0].starts, 1u);
}

TEST_F(Effects669, FrequencyAdjustSlidesOnceAndStopsTheRunningEffect) {
    start(song().cell(0, 0, 0, note669(25, 0, 8).withEffect(0, 1)).cell(0, 1, 0, effect669(3, 5)));
    EXPECT_EQ(periodsAfterRows(3), (std::vector<int32_t>{425, 420, 420}));
}

TEST_F(Effects669, VibratoHasDepthOneAndTheValueAsSpeedAndRunsUntilANote) {
    start(
        song().cell(0, 0, 0, note669(25, 0, 8).withEffect(4, 3)).cell(0, 3, 0, note669(25, 0, 8)));
    playRow(*player_);
    const Channel& ch = player_->channel(0);
    EXPECT_EQ(ch.vibratoDepth, 1);
    EXPECT_EQ(ch.vibratoSpeed, 3);
    EXPECT_EQ(ch.vibratoPosition, 9u); // three ticks of speed 3
    EXPECT_EQ(ch.vibratoOffset, 1);    // sine 141 at position 6, depth 1: 141 >> 7
    playRow(*player_);
    EXPECT_EQ(ch.vibratoPosition, 18u);
    playRow(*player_);
    EXPECT_EQ(ch.vibratoPosition, 27u);
    playRow(*player_); // the note stops the vibrato and rewinds it
    EXPECT_EQ(ch.vibratoPosition, 0u);
    EXPECT_EQ(ch.vibratoOffset, 0);
    EXPECT_EQ(ch.activeEffect, nullptr);
}

TEST_F(Effects669, VibratoSwingsBelowThePeriodInItsSecondHalf) {
    start(song().cell(0, 0, 0, note669(25, 0, 8).withEffect(4, 15)));
    playRow(*player_); // positions 0, 15, 30
    playRow(*player_); // positions 45, 60, 11 (wrapped)
    const Channel& ch = player_->channel(0);
    EXPECT_EQ(ch.vibratoPosition, 26u);
    EXPECT_EQ(ch.vibratoOffset, 1); // sine 224 at position 11
    playTick(*player_);
    playTick(*player_); // position 26: sine 141, still 1
    playTick(*player_); // position 41: sine -197, so -197 >> 7 = -2
    EXPECT_EQ(ch.vibratoOffset, -2);
}

TEST_F(Effects669, EffectWithoutHandlerStopsTheRunningEffect) {
    start(song().cell(0, 0, 0, note669(25, 0, 8).withEffect(0, 3)).cell(0, 1, 0, effect669(7, 4)));
    EXPECT_EQ(periodsAfterRows(3), (std::vector<int32_t>{419, 419, 419}));
}

TEST_F(Effects669, NewEffectReplacesTheRunningOne) {
    start(song().cell(0, 0, 0, note669(25, 0, 8).withEffect(0, 3)).cell(0, 1, 0, effect669(1, 1)));
    EXPECT_EQ(periodsAfterRows(3), (std::vector<int32_t>{419, 422, 425}));
}

} // namespace
} // namespace tolva::test
