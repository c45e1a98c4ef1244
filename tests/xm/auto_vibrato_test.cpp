#include "support/XmBuilder.h"
#include "support/XmHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

class XmAutoVibrato : public ::testing::Test {
protected:
    void start(uint8_t type, uint8_t sweep, uint8_t depth, uint8_t rate) {
        XmInstrumentDef i = xmInstrument();
        i.vibratoType = type;
        i.vibratoSweep = sweep;
        i.vibratoDepth = depth;
        i.vibratoRate = rate;
        XmBuilder b(1);
        b.instrument(i).cell(0, 0, 0, xmNote(48, 1)).cell(0, 1, 0, xmKeyOff());
        player = playXm(b.build(), mixer);
        ASSERT_TRUE(player);
    }

    std::vector<int> offsets(uint32_t ticks) {
        std::vector<int> out;
        for (uint32_t i = 0; i < ticks; ++i) {
            playTick(*player);
            out.push_back(player->channels[0].autoVibratoOffset);
            steps.push_back(mixer.voices[0].step);
        }
        return out;
    }

    RecordingMixer mixer;
    std::unique_ptr<XmPlayer> player;
    std::vector<uint32_t> steps;
};

TEST_F(XmAutoVibrato, SweepGrowsTheDepthOverItsTicks) {
    start(0, 2, 8, 64); // sine, a quarter turn per tick
    // Full depth is 511 x 8 / 512 = 7.98 period units; the first ticks get 1/3 and 2/3 of it.
    EXPECT_EQ(offsets(8), (std::vector<int>{0, 5, 0, -7, 0, 7, 0, -7}));
    // C-4 in linear mode is period 4608, 8363 Hz: 12428 at 44100 Hz.
    EXPECT_EQ(steps[0], 12428u);
    EXPECT_EQ(steps[1], 12377u); // period 4613
    EXPECT_EQ(steps[3], 12495u); // period 4601
}

TEST_F(XmAutoVibrato, NoSweepAppliesTheFullDepthAtOnce) {
    start(1, 0, 16, 64); // square
    EXPECT_EQ(offsets(4), (std::vector<int>{15, 15, -15, -15}));
}

TEST_F(XmAutoVibrato, WaveformsAndOutOfRangeTypes) {
    start(2, 0, 64, 64); // ramp down: 511, 255, -2, -258 at quarter turns
    EXPECT_EQ(offsets(4), (std::vector<int>{63, 31, 0, -32}));
    start(7, 0, 64, 64); // type 7 is taken as 3, ramp up
    EXPECT_EQ(offsets(4), (std::vector<int>{-63, -31, 0, 32}));
}

TEST_F(XmAutoVibrato, GoesOnAfterKeyOff) {
    start(1, 0, 16, 128);
    offsets(6);
    EXPECT_EQ(offsets(2), (std::vector<int>{15, -15}));
}

TEST_F(XmAutoVibrato, ZeroDepthLeavesThePitchAlone) {
    start(0, 0, 0, 64);
    offsets(4);
    EXPECT_EQ(steps, (std::vector<uint32_t>(4, 12428u)));
}

} // namespace
} // namespace tolva::test
