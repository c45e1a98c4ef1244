#include "engine/Random.h"
#include "support/ItHarness.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolva::test {
namespace {

constexpr int P = itCommand('P');

TEST(ItPanningSlide, MovesFourUnitsAStepLeftForUpAndRightForDown) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1, -1, itCommand('X'), 128});
    rows.cell(1, 0, {-1, -1, -1, P, 0x40});
    rows.cell(2, 0, {-1, -1, -1, P, 0xF1});
    rows.cell(3, 0, {-1, -1, -1, P, 0x00});
    rows.cell(4, 0, {-1, -1, 160});
    auto song = playIt(itSong(rows, {}));
    std::vector<int> pans;
    for (int r = 0; r < 5; ++r) {
        playRow(*song->player);
        pans.push_back(song->voice(0).targetPanning);
    }
    EXPECT_EQ(pans, (std::vector<int>{128, 96, 100, 104, 127}));
}

TEST(ItPanning, HeaderSeparationNarrowsTheStereoImage) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1, -1, itCommand('X'), 0}).cell(0, 1, {60, 1, -1, itCommand('X'), 255});
    ItFileBuilder b = itSong(rows, {});
    b.panSeparation = 64;
    auto song = playIt(b);
    playTick(*song->player);
    EXPECT_EQ(song->voice(0).targetPanning, 64);
    EXPECT_EQ(song->voice(1).targetPanning, 191);
    b.flags &= ~0x01; // mono
    auto mono = playIt(b);
    playTick(*mono->player);
    EXPECT_EQ(mono->voice(0).targetPanning, 128);
}

TEST(ItPanning, PitchPanSeparationSpreadsNotesAroundTheCentre) {
    ItTestInstrument ins;
    ins.pitchPanSeparation = 8;
    ins.pitchPanCentre = 60;
    ItPatternWriter rows;
    rows.cell(0, 0, {72, 1}).cell(0, 1, {48, 1});
    auto song = playIt(itSong(rows, {ins}));
    playTick(*song->player);
    // Channel pan 32 is 127; twelve notes away move it by 12.
    EXPECT_EQ(song->voice(0).targetPanning, 139);
    EXPECT_EQ(song->voice(1).targetPanning, 115);
}

TEST(ItPanning, DefaultPansOfInstrumentAndSampleAndTheWayBack) {
    ItTestInstrument panned;
    panned.defaultPan = 0;
    ItTestInstrument plain;
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1}).cell(1, 0, {60, 2}).cell(2, 0, {60, 3});
    ItTestInstrument sampleTwo;
    sampleTwo.sample = 2;
    ItFileBuilder b = itSong(rows, {panned, plain, sampleTwo});
    b.samples.push_back(rampSample(100, true));
    b.samples[1].defaultPan = 0x80 | 64;
    auto song = playIt(b);
    playRow(*song->player);
    EXPECT_EQ(song->voice(0).targetPanning, 0);
    playRow(*song->player);
    EXPECT_EQ(song->voice(0).targetPanning, 127);
    playRow(*song->player);
    EXPECT_EQ(song->voice(0).targetPanning, 255);
}

TEST(ItPanbrello, SineOffsetsFromTheWaveform) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1, -1, itCommand('Y'), 0x48});
    rows.cell(1, 0, {-1, -1, -1, itCommand('Y'), 0x00});
    auto song = playIt(itSong(rows, {}));
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).panOffset, 24 * 8 >> 5);
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).panOffset, 74 * 8 >> 5);
    EXPECT_EQ(song->voice(0).targetPanning, 127 + 18);
}

TEST(ItRandomVariation, VolumeAndPanMoveByTheDrawnAmounts) {
    ItTestInstrument ins;
    ins.randomVolume = 50;
    ins.randomPan = 10;
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1});
    auto song = playIt(itSong(rows, {ins}));
    seedRandom(0);
    playTick(*song->player);
    // Draws 30292 and then 8057: volume 64 - 30292 x 64 x 50 / 6553600 = 50,
    // pan 127 + (8057 x 10 x 8 >> 16) - 40 = 96.
    EXPECT_EQ(song->channel(0).volume, 50);
    EXPECT_EQ(song->channel(0).panning, 96);
}

TEST(ItRandomVariation, ANoteWithoutInstrumentNumberDrawsItsOwnPan) {
    ItTestInstrument ins;
    ins.randomPan = 10;
    ins.defaultPan = 32;
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1}).cell(1, 0, {62});
    auto song = playIt(itSong(rows, {ins}));
    seedRandom(0);
    playRow(*song->player);
    // Draws 30292: 127 + (30292 x 10 x 8 >> 16) - 40 = 123.
    EXPECT_EQ(song->channel(0).panning, 123);
    playRow(*song->player);
    // The default pan comes back first, then 8057 moves it: 127 + 9 - 40 = 96.
    EXPECT_EQ(song->channel(0).panning, 96);
    EXPECT_EQ(song->voice(0).targetPanning, 96);
}

} // namespace
} // namespace tolva::test
