#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(RenderFrames, CountsFramesAndHandsThePlayersGainToTheMixer) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder().build(), mixer);
    player->gain = 307;
    RenderFormat options;
    options.gain = 1;
    EXPECT_EQ(player->renderFrames(576, nullptr, &options), 576u);
    EXPECT_EQ(mixer.lastGain, 307u);
    EXPECT_EQ(player->renderFrames(576, nullptr, nullptr), 576u);
    EXPECT_EQ(player->playedFrames, 1152u);
}

TEST(ConfigurePlayback, PreparesTheMixerForTheSong) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder(6, "6CHN").build(), mixer);
    EXPECT_EQ(mixer.mixingRate(), 44100u);
    EXPECT_EQ(mixer.voiceCount(), 6u);
    EXPECT_EQ(mixer.slots[0].listener, player.get());
    EXPECT_EQ(mixer.slots[0].interval, 882u);
    EXPECT_FLOAT_EQ(player->defaultGain(), 1.8f);
}

TEST(RenderFrames, TicksFallEvery882FramesAt125Bpm) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder().build(), mixer);
    player->renderFrames(882 * 6, nullptr, nullptr); // six ticks: row 0 complete
    EXPECT_EQ(player->songPosition, 0u);
    player->renderFrames(882, nullptr, nullptr);
    EXPECT_EQ(player->songPosition, 1u);
}

TEST(RenderFrames, StopsAtTheEndOfTheSong) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder().build(), mixer);
    // 64 rows of 6 ticks; the tick after them finds the end of the order list.
    EXPECT_EQ(player->renderFrames(0xFFFFFFFEu, nullptr, nullptr), 882u * (64 * 6 + 1));
    EXPECT_TRUE(player->isEnded());
}

TEST(SeekToFrame, ForwardPlaysOnToTheFrame) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder().build(), mixer);
    player->seekToFrame(882 * 13 + 1);
    EXPECT_EQ(player->playedFrames, 882u * 13 + 1);
    EXPECT_EQ(mixer.framesRendered, 882u * 13);
    EXPECT_EQ(player->songPosition, 2u);
}

TEST(SeekToFrame, BackwardFromInsideATickRestartsTheTickGridWithTheSong) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder().build(), mixer);
    player->seekToFrame(882 * 13 + 400); // 482 frames before the next tick
    player->seekToFrame(100);
    player->renderFrames(780, nullptr, nullptr);
    EXPECT_EQ(player->orderIndex, 0u); // frame 880: the first tick is still to come
    player->renderFrames(2, nullptr, nullptr);
    EXPECT_EQ(player->orderIndex, 1u); // frame 882, as on a fresh start
}

} // namespace
} // namespace tolva::test
