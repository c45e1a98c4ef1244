#include "support/XmBuilder.h"
#include "support/XmHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// One channel at speed 6; a C-4 of instrument 1 on row 0 unless a test puts its own cell there.
class XmVolumeColumn : public ::testing::Test {
protected:
    void start() {
        player = playXm(builder.build(), mixer);
        ASSERT_TRUE(player);
    }

    // The channel's volume after each tick of the next row.
    std::vector<int> rowVolumes() {
        std::vector<int> out;
        for (int t = 0; t < 6; ++t) {
            playTick(*player);
            out.push_back(player->channels[0].volume);
        }
        return out;
    }

    XmChannel& ch() { return player->channels[0]; }

    XmBuilder builder = XmBuilder(1).instrument(xmInstrument()).cell(0, 0, 0, xmNote(48, 1));
    RecordingMixer mixer;
    std::unique_ptr<XmPlayer> player;
};

TEST_F(XmVolumeColumn, SetVolume) {
    builder.cell(0, 0, 0, xmNote(48, 1, 0x30))
        .cell(0, 1, 0, xmVolume(0x50))
        .cell(0, 2, 0, xmVolume(0x10))
        .cell(0, 3, 0, xmVolume(0x51)); // above 0x50: nothing
    start();
    EXPECT_EQ(rowVolumes(), std::vector<int>(6, 32));
    EXPECT_EQ(mixer.voices[0].volume, 64);
    EXPECT_EQ(rowVolumes(), std::vector<int>(6, 64));
    EXPECT_EQ(rowVolumes(), std::vector<int>(6, 0));
    EXPECT_EQ(rowVolumes(), std::vector<int>(6, 0));
}

TEST_F(XmVolumeColumn, SlidesRunOnTheLaterTicks) {
    builder.cell(0, 1, 0, xmVolume(0x62)).cell(0, 2, 0, xmVolume(0x7F));
    start();
    rowVolumes();
    EXPECT_EQ(rowVolumes(), (std::vector<int>{64, 62, 60, 58, 56, 54}));
    EXPECT_EQ(rowVolumes(), (std::vector<int>{54, 64, 64, 64, 64, 64}));
}

TEST_F(XmVolumeColumn, FineSlidesRunOnceOnTheFirstTick) {
    builder.cell(0, 1, 0, xmVolume(0x84)).cell(0, 2, 0, xmVolume(0x93));
    start();
    rowVolumes();
    EXPECT_EQ(rowVolumes(), std::vector<int>(6, 60));
    EXPECT_EQ(rowVolumes(), std::vector<int>(6, 63));
}

TEST_F(XmVolumeColumn, VibratoSpeedAndDepth) {
    builder
        .cell(0, 0, 0, xmNote(48, 1, 0, 4, 0x40)) // speed 4, no depth yet
        .cell(0, 1, 0, xmVolume(0xB8))            // depth 8, speed from the memory
        .cell(0, 2, 0, xmVolume(0xA9));
    start();
    playTicks(*player, 6);
    std::vector<int> offsets;
    for (int t = 0; t < 4; ++t) {
        playTick(*player);
        offsets.push_back(ch().vibratoOffset);
    }
    // Positions 20, 24, 28 of the sine (235, 180, 97) times depth 8 x 4, over 128: the period
    // grows first, so the pitch falls.
    EXPECT_EQ(offsets, (std::vector<int>{0, 58, 45, 24}));
    EXPECT_EQ(ch().vibratoMemory, 0x48);
    playTicks(*player, 2);
    playTick(*player);
    EXPECT_EQ(ch().vibratoSpeed, 9);
    EXPECT_EQ(ch().volumeColumnEffect, nullptr);
}

TEST_F(XmVolumeColumn, PanningSetAndNudged) {
    builder.cell(0, 1, 0, xmVolume(0xD2))
        .cell(0, 2, 0, xmVolume(0xE3))
        .cell(0, 3, 0, xmVolume(0xC4))
        .cell(0, 4, 0, xmVolume(0xDF))
        .cell(0, 5, 0, xmVolume(0xEF))
        .cell(0, 6, 0, xmVolume(0xEF));
    start();
    std::vector<int> pannings;
    std::vector<int> sent;
    for (int row = 0; row < 7; ++row) {
        rowVolumes();
        pannings.push_back(ch().panning);
        sent.push_back(mixer.voices[0].panning);
    }
    EXPECT_EQ(pannings, (std::vector<int>{128, 96, 144, 64, 0, 240, 255}));
    EXPECT_EQ(sent, (std::vector<int>{127, 95, 143, 63, 0, 239, 254}));
}

TEST_F(XmVolumeColumn, TonePortamentoAtSixteenTimesTheDigit) {
    builder.cell(0, 1, 0, xmNote(50, 0, 0xF1));
    start();
    playTicks(*player, 6);
    std::vector<int> periods;
    for (int t = 0; t < 4; ++t) {
        playTick(*player);
        periods.push_back(soundingPeriod(ch()));
    }
    // D-4 is period 4480; speed 16 moves 64 units a tick.
    EXPECT_EQ(periods, (std::vector<int>{4608, 4544, 4480, 4480}));
    EXPECT_EQ(mixer.voices[0].starts, 1u);
}

TEST_F(XmVolumeColumn, TonePortamentoBesideVibratoOfTheEffectColumn) {
    builder.cell(0, 1, 0, xmNote(50, 0, 0xF3, 4, 0x48));
    start();
    playTicks(*player, 9);
    EXPECT_EQ(ch().slideOffset, -128);  // reached D-4 on the first slide tick
    EXPECT_EQ(ch().vibratoOffset, 24); // sine[4] = 97 at depth 32
    EXPECT_EQ(mixer.voices[0].starts, 1u);
}

TEST_F(XmVolumeColumn, BothColumnsSlideTheVolumeColumnFirst) {
    builder.cell(0, 0, 0, xmNote(48, 1, 0x4C)).cell(0, 1, 0, {0, 0, 0x78, 0xA, 0x04});
    start();
    rowVolumes();
    // Up 8 (limited to 64), then down 4; the other way round would stay at 64.
    EXPECT_EQ(rowVolumes(), (std::vector<int>{60, 60, 60, 60, 60, 60}));
}

TEST_F(XmVolumeColumn, DelayedNoteTakesItsVolumeWhenItStarts) {
    builder.cell(0, 1, 0, xmNote(48, 1, 0x20, 0xE, 0xD3));
    start();
    rowVolumes();
    std::vector<int> sent;
    for (int t = 0; t < 6; ++t) {
        playTick(*player);
        sent.push_back(mixer.voices[0].volume);
    }
    EXPECT_EQ(sent, (std::vector<int>{128, 128, 128, 32, 32, 32}));
    EXPECT_EQ(mixer.voices[0].starts, 2u);
}

} // namespace
} // namespace tolva::test
