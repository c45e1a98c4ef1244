#include "engine/ScreamEffects.h"
#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// The handlers run against a plain player, on a channel record of their kind.
class ScreamEffects : public ::testing::Test {
protected:
    void SetUp() override {
        player = playMod(ModBuilder().build(), mixer);
        player->song.slideUpUnit = -4;
        player->song.slideDownUnit = 4;
        ch.period = 1000;
        ch.volume = 60;
    }

    void tick(const EffectHandler& h) {
        player->changeFlags = 0;
        h.onTick(*player, ch);
    }

    RecordingMixer mixer;
    std::unique_ptr<Player> player;
    ScreamChannel ch;
};

TEST_F(ScreamEffects, TremorAlternatesOnAndOffTimes) {
    handlers::tremor.onRow(*player, ch, 0x21); // 3 ticks audible, 2 muted
    std::vector<int> heard;
    for (int t = 1; t <= 10; ++t) {
        tick(handlers::tremor);
        heard.push_back(Player::effectiveVolume(ch));
    }
    EXPECT_EQ(heard, (std::vector<int>{60, 60, 0, 0, 60, 60, 60, 0, 0, 60}));
    EXPECT_EQ(ch.tremorMemory, 0x21);
    handlers::tremor.onRow(*player, ch, 0x00); // memory
    EXPECT_EQ(ch.tremorCountdown, 3);
}

TEST_F(ScreamEffects, RetriggerWithVolumeChange) {
    handlers::retriggerVolumeSlide.onRow(*player, ch, 0x63); // x 2/3 every 3 ticks
    tick(handlers::retriggerVolumeSlide);
    tick(handlers::retriggerVolumeSlide);
    EXPECT_EQ(player->changeFlags & ChangeStartNote, 0u);
    tick(handlers::retriggerVolumeSlide);
    EXPECT_NE(player->changeFlags & ChangeStartNote, 0u);
    EXPECT_EQ(ch.volume, 40);

    handlers::retriggerVolumeSlide.onRow(*player, ch, 0x51);
    tick(handlers::retriggerVolumeSlide);
    EXPECT_EQ(ch.volume, 24);
    handlers::retriggerVolumeSlide.onRow(*player, ch, 0xF0); // every tick, doubling
    tick(handlers::retriggerVolumeSlide);
    tick(handlers::retriggerVolumeSlide);
    EXPECT_EQ(ch.volume, 64);
    handlers::retriggerVolumeSlide.onRow(*player, ch, 0x00);
    EXPECT_EQ(ch.retrigMemory, 0xF0);
}

TEST_F(ScreamEffects, FinePortamentoFineExtraFineAndSlidingForms) {
    handlers::finePortamentoUp.onRow(*player, ch, 0xF3);
    EXPECT_EQ(ch.slideOffset, -12);
    handlers::finePortamentoDown.onRow(*player, ch, 0xE3);
    EXPECT_EQ(ch.slideOffset, -9);
    handlers::finePortamentoDown.onRow(*player, ch, 0x00); // shared memory: 0xE3 again
    EXPECT_EQ(ch.slideOffset, -6);
    handlers::finePortamentoUp.onRow(*player, ch, 0x05);
    EXPECT_EQ(ch.activeEffect, &handlers::finePortamentoUp);
    tick(handlers::finePortamentoUp);
    EXPECT_EQ(ch.slideOffset, -26);
    EXPECT_EQ(ch.portaTarget, player->song.minPeriod);
}

} // namespace
} // namespace tolva::test
