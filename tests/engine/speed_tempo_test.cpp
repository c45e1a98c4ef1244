#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

std::unique_ptr<Player> play(ModCell c, RecordingMixer& mixer, bool oldProTracker = false) {
    auto player = playMod(ModBuilder().cell(0, 0, 0, c).build(), mixer);
    player->oldProTrackerMode = oldProTracker;
    playTick(*player);
    return player;
}

TEST(TickInterval, FiveRateOverTwiceTheTempo) {
    RecordingMixer mixer;
    auto player = play(fx(0xF, 0xFF), mixer);
    EXPECT_EQ(player->tempo, 255);
    EXPECT_EQ(mixer.slots[0].interval, 432u);
    player->restartSong();
    player->configurePlayback(44100);
    EXPECT_EQ(mixer.slots[0].interval, 882u);
}

TEST(SpeedTempo, BelowThirtyTwoIsSpeedFromThereTempo) {
    RecordingMixer mixer;
    auto speed = play(fx(0xF, 0x1F), mixer);
    EXPECT_EQ(speed->speed, 31);
    EXPECT_EQ(speed->tickCountdown, 31);
    EXPECT_EQ(speed->tempo, 125);

    RecordingMixer mixer2;
    auto tempo = play(fx(0xF, 0x20), mixer2);
    EXPECT_EQ(tempo->speed, 6);
    EXPECT_EQ(tempo->tempo, 32);
    EXPECT_EQ(mixer2.slots[0].interval, 3444u); // 3445 asked, the mixer keeps it even
}

TEST(SpeedTempo, ZeroChangesNothing) {
    RecordingMixer mixer;
    auto player = play(fx(0xF, 0x00), mixer);
    EXPECT_EQ(player->speed, 6);
    EXPECT_EQ(player->tempo, 125);
}

TEST(SpeedTempo, OldProTrackerModeTakesEveryValueAsSpeed) {
    RecordingMixer mixer;
    auto player = play(fx(0xF, 0x7D), mixer, true);
    EXPECT_EQ(player->speed, 125);
    EXPECT_EQ(player->tempo, 125);
    EXPECT_EQ(mixer.slots[0].interval, 882u);

    RecordingMixer mixer2;
    auto modern = play(fx(0xF, 0x7D), mixer2, false);
    EXPECT_EQ(modern->speed, 6);
    EXPECT_EQ(modern->tempo, 125);
}

TEST(SpeedTempo, SpeedSetOnARowAppliesToThatRow) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder().cell(0, 0, 0, fx(0xF, 0x02)).build(), mixer);
    int ticks = 0;
    do {
        playTick(*player);
        ++ticks;
    } while (player->songPosition == 0);
    EXPECT_EQ(ticks, 3);
}

} // namespace
} // namespace tolva::test
