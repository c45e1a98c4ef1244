#include "engine/Random.h"
#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolva::test {
namespace {

std::vector<int32_t> vibratoOffsetsOfRow(Player& player) {
    std::vector<int32_t> offsets;
    do {
        playTick(player);
        offsets.push_back(player.channel(0).vibratoOffset);
    } while (player.tickCountdown != 1);
    return offsets;
}

TEST(Vibrato, SineOffsetsFollowDepthAndSpeedAndContinueOnTheNextRow) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64))
                              .cell(0, 0, 0, note(25, 1, 0x4, 0x44))
                              .cell(0, 1, 0, fx(0x4, 0x00))
                              .cell(0, 2, 0, fx(0x6, 0x00))
                              .build(),
                          mixer);
    // Depth 4 in slide-up units: (sine x -4) >> 7 at positions 0, 0, 4, 8, 12, 16.
    EXPECT_EQ(vibratoOffsetsOfRow(*player), (std::vector<int32_t>{0, 0, -4, -6, -8, -8}));
    // 400 keeps speed and depth; the row starts where the last one left off.
    EXPECT_EQ(vibratoOffsetsOfRow(*player), (std::vector<int32_t>{-8, -8, -6, -4, 0, 3}));
    // 600 goes on likewise (positions 40..56 mirror 8..24); with no slide remembered it slides
    // by the vibrato memory's low nibble: down 4 on five ticks.
    EXPECT_EQ(vibratoOffsetsOfRow(*player), (std::vector<int32_t>{3, 5, 7, 7, 7, 5}));
    EXPECT_EQ(player->channel(0).volume, 44);
}

TEST(Vibrato, WaveformsAndTheirRetriggerRule) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64))
                              .cell(0, 0, 0, fx(0xE, 0x41)) // ramp
                              .cell(0, 1, 0, note(25, 1, 0x4, 0x84))
                              .cell(0, 2, 0, fx(0xE, 0x42)) // square
                              .cell(0, 3, 0, note(25, 1, 0x4, 0x84))
                              .cell(0, 4, 0, fx(0xE, 0x46)) // square, kept on new notes
                              .cell(0, 5, 0, note(25, 1, 0x4, 0x84))
                              .cell(0, 6, 0, note(25, 1, 0x4, 0x84))
                              .build(),
                          mixer);
    playRow(*player);
    // Ramp at positions 0, 8, 16, 24, 32: -255, -191, -126, -61, 4; x -4 >> 7.
    EXPECT_EQ(vibratoOffsetsOfRow(*player), (std::vector<int32_t>{0, 7, 5, 3, 1, -1}));
    playRow(*player);
    // Square: 255 for positions 0..31, then -255.
    EXPECT_EQ(vibratoOffsetsOfRow(*player), (std::vector<int32_t>{0, -8, -8, -8, -8, 7}));
    playRow(*player);
    // Keep bit: the next notes go on from positions 40 and 16 instead of 0.
    EXPECT_EQ(vibratoOffsetsOfRow(*player), (std::vector<int32_t>{7, 7, 7, 7, -8, -8}));
    EXPECT_EQ(vibratoOffsetsOfRow(*player), (std::vector<int32_t>{-8, -8, -8, 7, 7, 7}));
}

TEST(Vibrato, RandomWaveformDrawsFromTheGenerator) {
    seedRandom(1); // draws 0x7655 and 0x0C22: waveform values -20 and -231
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64))
                              .cell(0, 0, 0, fx(0xE, 0x43))
                              .cell(0, 1, 0, note(25, 1, 0x4, 0x1F))
                              .build(),
                          mixer);
    playRow(*player);
    playTick(*player);
    playTick(*player);
    EXPECT_EQ(player->channel(0).vibratoOffset, (-20 * -15) >> 7);
    playTick(*player);
    EXPECT_EQ(player->channel(0).vibratoOffset, (-231 * -15) >> 7);
}

TEST(Vibrato, WithoutANoteNothingStarts) {
    RecordingMixer mixer;
    auto player =
        playMod(ModBuilder().sample(squareSample(64)).cell(0, 0, 0, fx(0x4, 0x44)).build(), mixer);
    playRow(*player);
    EXPECT_EQ(player->channel(0).vibratoMemory, 0);
    EXPECT_EQ(player->channel(0).vibratoOffset, 0);
}

TEST(Tremolo, ModulatesTheMixerVolumeAroundTheChannelVolume) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64, 32))
                              .cell(0, 0, 0, note(25, 1, 0x7, 0x48))
                              .cell(0, 1, 0, note(25, 1))
                              .build(),
                          mixer);
    // (sine x 8) >> 6 at positions 0, 0, 4, 8, 12, 16 on volume 32; mixer volume doubles it.
    const uint8_t expected[] = {64, 64, 88, 108, 122, 126};
    for (uint8_t v : expected) {
        playTick(*player);
        EXPECT_EQ(mixer.voices[0].volume, v);
    }
    EXPECT_EQ(player->channel(0).volume, 32);
    playTick(*player); // a row without tremolo and a new note: plain volume
    EXPECT_EQ(mixer.voices[0].volume, 64);
    EXPECT_EQ(player->channel(0).tremoloPosition, 0u);
}

} // namespace
} // namespace tolva::test
