#include "support/XmBuilder.h"
#include "support/XmHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// One note on row 0 of one channel; the voice's step after the note's first tick.
class XmPitch : public ::testing::Test {
protected:
    void play(XmCell cell, bool linear, int8_t finetune = 0, int8_t relativeNote = 0) {
        XmSampleDef s = xmSquare();
        s.finetune = finetune;
        s.relativeNote = relativeNote;
        XmBuilder b(1);
        b.linearFrequencies(linear).instrument(xmInstrument(s)).cell(0, 0, 0, cell);
        player = playXm(b.build(), mixer);
        ASSERT_TRUE(player);
        playTick(*player);
    }

    int32_t period() { return player->channels[0].period; }
    uint32_t step() { return mixer.voices[0].step; }

    RecordingMixer mixer;
    std::unique_ptr<XmPlayer> player;
};

TEST_F(XmPitch, MiddleCPlaysTheSampleAt8363HzInBothTables) {
    play(xmNote(48, 1), true);
    EXPECT_EQ(period(), 4608);
    EXPECT_EQ(step(), 12428u); // 8363 x 65536 / 44100
    play(xmNote(48, 1), false);
    EXPECT_EQ(period(), 1712);
    EXPECT_EQ(step(), 12428u);
}

TEST_F(XmPitch, OneOctaveUpDoublesTheStep) {
    play(xmNote(60, 1), true);
    EXPECT_EQ(period(), 3840);
    EXPECT_EQ(step(), 24856u);
    play(xmNote(60, 1), false);
    EXPECT_EQ(period(), 856);
    EXPECT_EQ(step(), 24856u);
}

TEST_F(XmPitch, SampleFinetuneAndRelativeNote) {
    play(xmNote(48, 1), true, 64);
    EXPECT_EQ(period(), 4576); // half a unit per finetune step
    play(xmNote(48, 1), true, -128);
    EXPECT_EQ(period(), 4672);
    play(xmNote(48, 1), false, 64);
    EXPECT_EQ(period(), 1664); // finetune step 4 of C: 832 x 32 >> 4
    play(xmNote(48, 1), false, -128);
    EXPECT_EQ(period(), 1814); // step -8: 907 x 32 >> 4
    play(xmNote(48, 1), false, -35);
    EXPECT_EQ(period(), 1743); // -5/16 semitone: halfway between 875 and 868, x 32 >> 4
    play(xmNote(59, 1), false, 127);
    EXPECT_EQ(period(), 859); // B +15/16: halfway between 431 and 428 (C of the next octave)
    play(xmNote(48, 1), true, 0, 12);
    EXPECT_EQ(period(), 3840);
    play(xmNote(48, 1), false, 0, -24);
    EXPECT_EQ(period(), 6848);
}

TEST_F(XmPitch, SetFinetuneCommandTakesTheWholeByte) {
    play(xmNote(48, 1, 0, 0xE, 0x5F), true);
    EXPECT_EQ(period(), 4552); // E5F: finetune 112
    play(xmNote(48, 1, 0, 0xE, 0x50), true);
    EXPECT_EQ(period(), 4672); // E50: -128
    play(xmNote(48, 1, 0, 0xE, 0x5F), false);
    EXPECT_EQ(period(), 1628); // step 7 of C: 814 x 32 >> 4
}

TEST_F(XmPitch, SlidesMoveFourUnitsPerStepInBothTables) {
    play(xmNote(48, 1, 0, 1, 0x02), true);
    playTick(*player);
    EXPECT_EQ(soundingPeriod(player->channels[0]), 4600);
    EXPECT_EQ(step(), 12512u); // 8 linear units: 10/512 octave up
    play(xmNote(48, 1, 0, 1, 0x02), false);
    playTick(*player);
    EXPECT_EQ(soundingPeriod(player->channels[0]), 1704);
    EXPECT_EQ(step(), 12486u); // 8363 x 1712 x 65536 / (44100 x 1704)
}

TEST_F(XmPitch, SlideDownStopsAtTheLowestPeriod) {
    play(xmNote(0, 1, 0, 2, 0xFF), true); // C-0: period 7680
    playTicks(*player, 5);
    EXPECT_EQ(soundingPeriod(player->channels[0]), 12500);
    EXPECT_EQ(step(), 10u);
}

TEST_F(XmPitch, ArpeggioInLinearUnits) {
    play(xmNote(48, 1, 0, 0, 0x37), true);
    std::vector<int> periods;
    for (int t = 0; t < 4; ++t) {
        periods.push_back(soundingPeriod(player->channels[0]));
        playTick(*player);
    }
    EXPECT_EQ(periods, (std::vector<int>{4608, 4416, 4160, 4608}));
}

TEST_F(XmPitch, NotesOutOfRange) {
    // Amiga: below the table the lowest octave plays; far above it the period is 0 and the
    // voice stops.
    play(xmNote(0, 1), false, 0, -12);
    EXPECT_EQ(period(), 27392);
    EXPECT_EQ(step(), 776u);
    play(xmNote(95, 1), false, 0, 127);
    EXPECT_EQ(period(), 0);
    EXPECT_FALSE(mixer.voices[0].active);
    // Linear: above the range the period is held at the song's lowest period.
    play(xmNote(95, 1), true, 0, 127);
    EXPECT_TRUE(mixer.voices[0].active);
    EXPECT_EQ(step(), 790031u); // period 7: 4601 units above middle C
}

} // namespace
} // namespace tolva::test
