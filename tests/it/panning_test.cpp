#include "engine/Random.h"
#include "support/ItHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

Ints pans(ItSong& s) {
    return {s.voice(0).targetPanning, s.voice(1).targetPanning};
}

TEST(ItPanning, SetSlideAndPanbrello) {
    // Slides move four units a step, left for up and right for down.
    auto song = playIt(itSong({{0, 0, {60, 1, -1, 'X', 128}},
                               {1, 0, fx('P', 0x40)},
                               {2, 0, fx('P', 0xF1)},
                               {3, 0, fx('P', 0x00)},
                               {4, 0, {-1, -1, 160}}}));
    EXPECT_EQ(song->trace(5, true, [](ItSong& s) { return Ints{s.voice(0).targetPanning}; }),
              (std::vector<Ints>{{128}, {96}, {100}, {104}, {127}}));
    song = playIt(itSong({{0, 0, {60, 1, -1, 'Y', 0x48}}, {1, 0, fx('Y', 0)}}));
    EXPECT_EQ(song->trace(2, true,
                          [](ItSong& s) {
                              return Ints{s.channel(0).panOffset, s.voice(0).targetPanning};
                          }),
              (std::vector<Ints>{{24 * 8 >> 5, 127 + 6}, {74 * 8 >> 5, 127 + 18}}));
}

TEST(ItPanning, HeaderSeparationNarrowsTheStereoImage) {
    ItFileBuilder b = itSong({{0, 0, {60, 1, -1, 'X', 0}}, {0, 1, {60, 1, -1, 'X', 255}}});
    b.panSeparation = 64;
    EXPECT_EQ(playIt(b)->trace(1, false, pans), (std::vector<Ints>{{64, 191}}));
    b.flags &= ~0x01; // mono
    EXPECT_EQ(playIt(b)->trace(1, false, pans), (std::vector<Ints>{{128, 128}}));
}

TEST(ItPanning, PitchPanSeparationSpreadsNotesAroundTheCentre) {
    ItTestInstrument ins;
    ins.pitchPanSeparation = 8;
    // Channel pan 32 is 127; twelve notes away move it by 12.
    auto song = playIt(itSong({{0, 0, {72, 1}}, {0, 1, {48, 1}}}, {ins}));
    EXPECT_EQ(song->trace(1, false, pans), (std::vector<Ints>{{139, 115}}));
}

TEST(ItPanning, DefaultPansOfInstrumentAndSampleAndTheWayBack) {
    ItTestInstrument panned;
    panned.defaultPan = 0;
    ItTestInstrument sampleTwo;
    sampleTwo.sample = 2;
    ItFileBuilder b =
        itSong({{0, 0, {60, 1}}, {1, 0, {60, 2}}, {2, 0, {60, 3}}}, {panned, {}, sampleTwo});
    b.samples.push_back(rampSample(100, true));
    b.samples[1].defaultPan = 0x80 | 64;
    EXPECT_EQ(playIt(b)->trace(3, true, [](ItSong& s) { return Ints{s.voice(0).targetPanning}; }),
              (std::vector<Ints>{{0}, {127}, {255}}));
}

// Draws 30292 and then 8057: volume 64 - 30292 x 64 x 50 / 6553600 = 50, pan 127 + (8057 x 10
// x 8 >> 16) - 40 = 96. A note without instrument number draws a pan of its own, from the
// default pan: first 127 + (30292 x 10 x 8 >> 16) - 40 = 123, then 96.
TEST(ItRandomVariation, VolumeAndPanMoveByTheDrawnAmounts) {
    ItTestInstrument ins;
    ins.randomVolume = 50;
    ins.randomPan = 10;
    auto song = playIt(itSong({{0, 0, {60, 1}}}, {ins}));
    seedRandom(0);
    song->ticks();
    EXPECT_EQ(song->channel(0).volume, 50);
    EXPECT_EQ(song->channel(0).panning, 96);
    ins.randomVolume = 0;
    ins.defaultPan = 32;
    song = playIt(itSong({{0, 0, {60, 1}}, {1, 0, {62}}}, {ins}));
    seedRandom(0);
    EXPECT_EQ(song->trace(2, true,
                          [](ItSong& s) {
                              return Ints{s.channel(0).panning, s.voice(0).targetPanning};
                          }),
              (std::vector<Ints>{{123, 123}, {96, 96}}));
}

} // namespace
} // namespace tolva::test
