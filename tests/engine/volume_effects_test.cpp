#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(VolumeSlide, SlidesOnTheLaterTicksAndStopsAtTheLimits) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64))
                              .cell(0, 0, 0, note(25, 1, 0xA, 0x02))
                              .cell(0, 1, 0, fx(0xA, 0x23)) // both nibbles: nothing
                              .cell(0, 2, 0, fx(0xA, 0x30))
                              .cell(0, 3, 0, fx(0xA, 0x0F))
                              .cell(0, 4, 0, fx(0xA, 0x0F))
                              .cell(0, 5, 0, fx(0xA, 0x0F))
                              .build(),
                          mixer);
    Channel& ch = player->channel(0);
    playTick(*player);
    EXPECT_EQ(ch.volume, 64);
    playRow(*player);
    EXPECT_EQ(ch.volume, 54);
    EXPECT_EQ(mixer.voices[0].volume, 108);
    playRow(*player);
    EXPECT_EQ(ch.volume, 54);
    playRow(*player);
    EXPECT_EQ(ch.volume, 64);
    playRow(*player);
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(ch.volume, 0);
    EXPECT_EQ(mixer.voices[0].volume, 0);
}

TEST(VolumeCommands, SetVolumeAndFineSlidesActOnTheFirstTick) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64))
                              .cell(0, 0, 0, note(25, 1, 0xC, 0x20))
                              .cell(0, 1, 0, fx(0xE, 0xA5))
                              .cell(0, 2, 0, fx(0xE, 0xB9))
                              .cell(0, 3, 0, fx(0xC, 0x50)) // above 64 plays at 64
                              .cell(0, 4, 0, fx(0xE, 0xBF))
                              .cell(0, 5, 0, fx(0xE, 0xBF))
                              .build(),
                          mixer);
    Channel& ch = player->channel(0);
    playTick(*player);
    EXPECT_EQ(ch.volume, 32);
    EXPECT_EQ(mixer.voices[0].volume, 64);
    playRow(*player);
    playTick(*player);
    EXPECT_EQ(ch.volume, 37);
    playRow(*player);
    playTick(*player);
    EXPECT_EQ(ch.volume, 28);
    playRow(*player);
    playTick(*player);
    EXPECT_EQ(mixer.voices[0].volume, 128);
    playRow(*player);
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(ch.volume, 49); // 80 - 15 is limited to 64, then 64 - 15
}

TEST(VolumeCommands, InstrumentWithoutNoteResetsVolumeAndKeepsTheVoice) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64, 48))
                              .cell(0, 0, 0, note(25, 1, 0xC, 0x10))
                              .cell(0, 1, 0, ModCell{0, 1, 0, 0})
                              .build(),
                          mixer);
    playRow(*player);
    EXPECT_EQ(player->channel(0).volume, 16);
    playTick(*player);
    EXPECT_EQ(player->channel(0).volume, 48);
    EXPECT_EQ(mixer.voices[0].volume, 96);
    EXPECT_EQ(mixer.voices[0].starts, 1u);
    EXPECT_TRUE(mixer.voices[0].active);
}

} // namespace
} // namespace tolva::test
