// Speed, tempo and the frames they take: at 125 BPM and 44100 Hz a tick is 882 frames.
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tolva::test {
namespace {

TEST(SpeedTempo, SetByEffectF) {
    // Below 32 the value is the speed, from there the tempo; the tick interval is 5 x rate /
    // (2 x tempo), kept even by the mixer. Old ProTracker mode takes every value as speed.
    const struct {
        uint8_t param;
        bool oldProTracker;
        int speed, tempo;
        uint32_t interval;
    } cases[] = {{0xFF, false, 6, 255, 432},  {0x1F, false, 31, 125, 882},
                 {0x20, false, 6, 32, 3445},  {0x00, false, 6, 125, 882},
                 {0x7D, true, 125, 125, 882}, {0x7D, false, 6, 125, 882}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.param);
        RecordingMixer mixer;
        auto player = playMod(ModBuilder().cell(0, 0, 0, fx(0xF, c.param)).build(), mixer);
        player->oldProTrackerMode = c.oldProTracker;
        playTick(*player);
        EXPECT_EQ(std::tuple(player->speed, player->tempo, mixer.slots[0].interval),
                  std::tuple(c.speed, c.tempo, c.interval));
        player->restartSong();
        player->configurePlayback(44100);
        EXPECT_EQ(mixer.slots[0].interval, 882u);
    }
}

TEST(SpeedTempo, TicksOfTheFirstRow) {
    // A speed applies to its own row; a pattern delay plays the row's ticks again.
    for (const auto& [cell, ticks] : {std::pair{fx(0xF, 0x02), 3}, std::pair{fx(0xE, 0xE1), 13}}) {
        RecordingMixer mixer;
        auto player = playMod(ModBuilder().cell(0, 0, 0, cell).build(), mixer);
        int played = 0;
        do {
            playTick(*player);
            ++played;
        } while (player->songPosition == 0);
        EXPECT_EQ(played, ticks);
    }
}

TEST(RenderFrames, PreparesTheMixerCountsFramesAndPassesTheGain) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder(6, "6CHN").build(), mixer);
    EXPECT_EQ(std::tuple(mixer.mixingRate(), mixer.voiceCount()), std::tuple(44100, 6));
    EXPECT_EQ(mixer.slots[0].listener, player.get());
    EXPECT_FLOAT_EQ(player->defaultGain(), 1.8f);
    player->gain = 307;
    RenderFormat options{.gain = 1};
    EXPECT_EQ(player->renderFrames(882 * 6, nullptr, &options), 882u * 6);
    EXPECT_EQ(mixer.lastGain, 307u);
    EXPECT_EQ(player->songPosition, 0u); // six ticks: row 0 complete
    player->renderFrames(882, nullptr, nullptr);
    EXPECT_EQ(std::tuple(player->songPosition, player->playedFrames), std::tuple(1, 882 * 7));
    // 64 rows of 6 ticks; the tick after them finds the end of the order list.
    EXPECT_EQ(player->renderFrames(0xFFFFFFFEu, nullptr, nullptr), 882u * (64 * 6 + 1 - 7));
    EXPECT_TRUE(player->isEnded());
}

TEST(SeekToFrame, ForwardPlaysOnBackwardRestartsTheTickGrid) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder().build(), mixer);
    player->seekToFrame(882 * 13 + 1);
    EXPECT_EQ(std::tuple(player->playedFrames, mixer.framesRendered, player->songPosition),
              std::tuple(882 * 13 + 1, 882 * 13, 2));
    player->seekToFrame(100);
    player->renderFrames(780, nullptr, nullptr);
    EXPECT_EQ(player->orderIndex, 0u); // frame 880: the first tick is still to come
    player->renderFrames(2, nullptr, nullptr);
    EXPECT_EQ(player->orderIndex, 1u); // frame 882, as on a fresh start
}

} // namespace
} // namespace tolva::test
