#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(NoteDelay, StartsTheNoteOnTheGivenTick) {
    RecordingMixer mixer;
    auto player = playMod(
        ModBuilder().sample(squareSample(64)).cell(0, 0, 0, note(25, 1, 0xE, 0xD3)).build(), mixer);
    for (int tick = 0; tick < 3; ++tick) {
        playTick(*player);
        EXPECT_EQ(mixer.voices[0].starts, 0u) << "tick " << tick;
    }
    playTick(*player);
    EXPECT_EQ(mixer.voices[0].starts, 1u);
    EXPECT_EQ(mixer.voices[0].step, 12315u); // 428 at 44100 Hz, PAL clock
}

TEST(NoteDelay, BeyondTheRowTheNoteNeverSounds) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64))
                              .cell(0, 0, 1, fx(0xF, 0x03))
                              .cell(0, 0, 0, note(25, 1, 0xE, 0xD3))
                              .build(),
                          mixer);
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 0u);
}

TEST(NoteDelay, ZeroDelayPlaysAtOnce) {
    RecordingMixer mixer;
    auto player = playMod(
        ModBuilder().sample(squareSample(64)).cell(0, 0, 0, note(25, 1, 0xE, 0xD0)).build(), mixer);
    playTick(*player);
    EXPECT_EQ(mixer.voices[0].starts, 1u);
}

TEST(NoteCut, SilencesTheChannelOnTheGivenTick) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64))
                              .cell(0, 0, 0, note(25, 1, 0xE, 0xC2))
                              .cell(0, 0, 1, note(25, 1, 0xE, 0xC0))
                              .build(),
                          mixer);
    playTick(*player);
    EXPECT_EQ(player->channel(1).volume, 0);
    playTick(*player);
    EXPECT_EQ(player->channel(0).volume, 64);
    playTick(*player);
    EXPECT_EQ(player->channel(0).volume, 0);
    EXPECT_EQ(mixer.voices[0].volume, 0);
    EXPECT_TRUE(mixer.voices[0].active);
}

TEST(NoteCut, StopsTheVoiceWhenTheFormatAsksForIt) {
    RecordingMixer mixer;
    auto player = playMod(
        ModBuilder().sample(squareSample(64)).cell(0, 0, 0, note(25, 1, 0xE, 0xC2)).build(), mixer);
    player->noteCutStopsVoice = true;
    playTick(*player);
    playTick(*player);
    EXPECT_TRUE(mixer.voices[0].active);
    playTick(*player);
    EXPECT_FALSE(mixer.voices[0].active);
    EXPECT_EQ(player->channel(0).volume, 64);
}

TEST(Retrigger, RestartsTheSampleEveryYTicks) {
    RecordingMixer mixer;
    auto player = playMod(
        ModBuilder().sample(squareSample(64)).cell(0, 0, 0, note(25, 1, 0xE, 0x92)).build(), mixer);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 3u); // ticks 0, 2 and 4
}

} // namespace
} // namespace tolva::test
