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

TEST_F(ScreamEffects, TremorAndRetriggerWithVolumeChange) {
    handlers::tremor.onRow(*player, ch, 0x21); // 3 ticks audible, 2 muted
    std::vector<int> heard;
    for (int t = 1; t <= 10; ++t) {
        tick(handlers::tremor);
        heard.push_back(Player::effectiveVolume(ch));
    }
    EXPECT_EQ(heard, (std::vector<int>{60, 60, 0, 0, 60, 60, 60, 0, 0, 60}));
    handlers::tremor.onRow(*player, ch, 0x00); // memory
    EXPECT_EQ(std::tuple(ch.tremorMemory, ch.tremorCountdown), std::tuple(0x21, 3));

    // Every 3 ticks x 2/3; every tick -16, which 00 keeps; every tick x 2, up to 64.
    std::vector<int> volumes, starts;
    for (const auto& [param, ticks] : {std::pair{0x63, 3}, {0x51, 1}, {0x00, 1}, {0xF0, 4}}) {
        handlers::retriggerVolumeSlide.onRow(*player, ch, static_cast<uint8_t>(param));
        for (int t = 0; t < ticks; ++t) {
            tick(handlers::retriggerVolumeSlide);
            starts.push_back((player->changeFlags & ChangeStartNote) != 0);
        }
        volumes.push_back(ch.volume);
    }
    EXPECT_EQ(volumes, (std::vector<int>{40, 24, 8, 64}));
    EXPECT_EQ(starts, (std::vector<int>{0, 0, 1, 1, 1, 1, 1, 1, 1}));
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
    EXPECT_EQ(std::tuple(ch.slideOffset, ch.portaTarget), std::tuple(-26, player->song.minPeriod));
}

} // namespace
} // namespace tolva::test
