#include "support/XmBuilder.h"
#include "support/XmHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// One channel at speed 6: a note on row 0, optionally a key-off on row `offRow`. The mixer
// volume of a full-volume note is 2 x the envelope value (0..64).
class XmEnvelopes : public ::testing::Test {
protected:
    void start(const XmInstrumentDef& instrument, int offRow = -1) {
        XmBuilder b(1);
        b.instrument(instrument).cell(0, 0, 0, xmNote(48, 1));
        if (offRow >= 0)
            b.cell(0, static_cast<uint32_t>(offRow), 0, xmKeyOff());
        player = playXm(b.build(), mixer);
        ASSERT_TRUE(player);
    }

    // Mixer volumes after each of the next `ticks` ticks.
    std::vector<int> volumes(uint32_t ticks) {
        std::vector<int> out;
        for (uint32_t i = 0; i < ticks; ++i) {
            playTick(*player);
            out.push_back(mixer.voices[0].volume);
        }
        return out;
    }

    std::vector<int> pannings(uint32_t ticks) {
        std::vector<int> out;
        for (uint32_t i = 0; i < ticks; ++i) {
            playTick(*player);
            out.push_back(mixer.voices[0].panning);
        }
        return out;
    }

    RecordingMixer mixer;
    std::unique_ptr<XmPlayer> player;
};

XmInstrumentDef withVolumeEnvelope(XmEnvelopeDef e) {
    XmInstrumentDef i = xmInstrument();
    i.volumeEnvelope = std::move(e);
    return i;
}

TEST_F(XmEnvelopes, PointsAreJoinedByStraightLinesFromTheFirstTick) {
    start(withVolumeEnvelope({{{0, 64}, {4, 0}, {6, 32}}, 0, 0, 0, 1}));
    EXPECT_EQ(volumes(10), (std::vector<int>{128, 96, 64, 32, 0, 32, 64, 64, 64, 64}));
}

TEST_F(XmEnvelopes, EnvelopeOfOnePointHoldsItsValue) {
    start(withVolumeEnvelope({{{0, 40}}, 0, 0, 0, 1}));
    EXPECT_EQ(volumes(8), (std::vector<int>(8, 80)));
}

TEST_F(XmEnvelopes, EnvelopeSwitchedOffLeavesFullVolume) {
    start(withVolumeEnvelope({{{0, 0}, {4, 0}}, 0, 0, 0, 0}));
    EXPECT_EQ(volumes(3), (std::vector<int>{128, 128, 128}));
}

TEST_F(XmEnvelopes, SustainHoldsUntilKeyOffThenMovesOn) {
    start(withVolumeEnvelope({{{0, 64}, {2, 32}, {4, 0}}, 1, 0, 0, 3}), 1);
    EXPECT_EQ(volumes(6), (std::vector<int>{128, 96, 64, 64, 64, 64}));
    EXPECT_EQ(volumes(4), (std::vector<int>{64, 32, 0, 0})); // key-off on tick 6
}

TEST_F(XmEnvelopes, LoopRepeats) {
    start(withVolumeEnvelope({{{0, 64}, {2, 32}, {4, 0}}, 0, 0, 2, 1 | 4}));
    EXPECT_EQ(volumes(10), (std::vector<int>{128, 96, 64, 32, 128, 96, 64, 32, 128, 96}));
}

TEST_F(XmEnvelopes, SustainInsideALoopHoldsThenTheLoopGoesOnAfterRelease) {
    start(withVolumeEnvelope({{{0, 64}, {2, 32}, {4, 0}}, 1, 0, 2, 1 | 2 | 4}), 1);
    EXPECT_EQ(volumes(6), (std::vector<int>{128, 96, 64, 64, 64, 64}));
    EXPECT_EQ(volumes(6), (std::vector<int>{64, 32, 128, 96, 64, 32}));
}

TEST_F(XmEnvelopes, SustainOnTheLoopEndEndsTheLoopAtRelease) {
    start(withVolumeEnvelope({{{0, 64}, {2, 32}, {4, 0}}, 2, 0, 2, 1 | 2 | 4}), 1);
    EXPECT_EQ(volumes(6), (std::vector<int>{128, 96, 64, 32, 128, 96}));
    // Released on tick 6 while heading for the last point: it ends there instead of looping.
    EXPECT_EQ(volumes(5), (std::vector<int>{64, 32, 0, 0, 0}));
}

TEST_F(XmEnvelopes, LoopEndingWhereItStartsDoesNotLoop) {
    start(withVolumeEnvelope({{{0, 64}, {2, 32}, {4, 0}}, 0, 1, 1, 1 | 4}));
    EXPECT_EQ(volumes(7), (std::vector<int>{128, 96, 64, 32, 0, 0, 0}));
}

TEST_F(XmEnvelopes, PanningEnvelopeSwingsAroundTheChannelPanning) {
    XmInstrumentDef i = xmInstrument();
    i.panningEnvelope = {{{0, 0}, {4, 64}}, 0, 0, 0, 1};
    start(i);
    // Sample panning 128: full left, centre, full right.
    EXPECT_EQ(pannings(5), (std::vector<int>{0, 63, 127, 191, 255}));
}

TEST_F(XmEnvelopes, PanningEnvelopeNarrowsNearTheEdges) {
    XmSampleDef s = xmSquare();
    s.panning = 224;
    XmInstrumentDef i = xmInstrument(s);
    i.panningEnvelope = {{{0, 0}, {4, 64}}, 0, 0, 0, 1};
    start(i);
    // Room to the nearer edge is 32: 192 .. 256 instead of 0 .. 256.
    EXPECT_EQ(pannings(5), (std::vector<int>{191, 207, 223, 239, 255}));
}

TEST_F(XmEnvelopes, SetEnvelopePositionStepsPastTheSustainPoint) {
    XmInstrumentDef i = withVolumeEnvelope({{{0, 64}, {4, 0}, {8, 32}}, 0, 0, 0, 1 | 2});
    // L06: six forced steps reach tick 5 of the envelope; the tick's own step makes it tick 6.
    // L20: past the last point the envelope ends on that point's value.
    for (auto [position, after] : {std::pair{6, std::vector<int>{32, 48, 64}},
                                   std::pair{20, std::vector<int>{64, 64, 64}}}) {
        XmBuilder b(1);
        b.instrument(i).cell(0, 0, 0, xmNote(48, 1)).cell(0, 1, 0, xmFx(21, position));
        player = playXm(b.build(), mixer);
        ASSERT_TRUE(player);
        EXPECT_EQ(volumes(6), (std::vector<int>(6, 128))); // held on the sustain point 0
        EXPECT_EQ(volumes(3), after) << "L" << position;
    }
}

TEST_F(XmEnvelopes, SetEnvelopePositionDoesNothingOnceTheFadeoutEnded) {
    XmInstrumentDef i = withVolumeEnvelope({{{0, 64}, {4, 0}, {8, 64}}, 0, 0, 0, 1 | 2});
    i.fadeout = 0x8000;
    XmBuilder b(1);
    b.instrument(i)
        .cell(0, 0, 0, xmNote(48, 1))
        .cell(0, 1, 0, xmKeyOff())
        .cell(0, 2, 0, xmFx(21, 6));
    player = playXm(b.build(), mixer);
    ASSERT_TRUE(player);
    volumes(12);
    EXPECT_EQ(player->channels[0].fadeVolume, 0);
    const XmEnvelopeState before = player->channels[0].volumeEnvelope;
    volumes(1);
    EXPECT_EQ(player->channels[0].volumeEnvelope.point, before.point);
    EXPECT_EQ(mixer.voices[0].volume, 0);
}

} // namespace
} // namespace tolva::test
