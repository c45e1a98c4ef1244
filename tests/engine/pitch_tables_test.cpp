#include "engine/PitchTables.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tolva::test {
namespace {

TEST(PitchTables, OneOctaveInFiveHundredTwelveSteps) {
    EXPECT_EQ(pitchTable[0], 65536u);
    EXPECT_EQ(pitchTable[1], 65625u);
    EXPECT_EQ(pitchTable[2], 65714u);
    EXPECT_EQ(pitchTable[256], 92682u); // half an octave: 65536 x sqrt(2)
    for (uint32_t i = 1; i < PitchTableLength; ++i) {
        EXPECT_GT(pitchTable[i], pitchTable[i - 1]) << i;
        EXPECT_NEAR(pitchTable[i], 65536.0 * std::exp2(i / 512.0), 11.0) << i;
    }
    EXPECT_LT(pitchTable[511], 131072u);
}

TEST(PitchTables, AutoVibratoWaveforms) {
    const int32_t* sine = &autoVibratoWaveforms[0];
    const int32_t* square = &autoVibratoWaveforms[256];
    const int32_t* rampDown = &autoVibratoWaveforms[512];
    const int32_t* rampUp = &autoVibratoWaveforms[768];
    EXPECT_EQ(sine[0], 0);
    EXPECT_EQ(sine[1], 13);   // 511 x sin(2 pi / 256) = 12.54
    EXPECT_EQ(sine[32], 361); // 511 / sqrt(2) = 361.3
    EXPECT_EQ(sine[64], 511);
    EXPECT_EQ(sine[96], 361);
    EXPECT_EQ(sine[128], 0);
    EXPECT_EQ(sine[192], -511);
    EXPECT_EQ(sine[255], -13);
    EXPECT_EQ(square[0], 511);
    EXPECT_EQ(square[127], 511);
    EXPECT_EQ(square[128], -511);
    EXPECT_EQ(rampDown[0], 511);
    EXPECT_EQ(rampDown[1], 507); // 511 - 1022 / 255
    EXPECT_EQ(rampDown[255], -511);
    EXPECT_EQ(rampUp[0], -511);
    EXPECT_EQ(rampUp[128], 2); // 130816 / 255 = 513
    EXPECT_EQ(rampUp[255], 511);
}

TEST(PitchTables, LinearStepDoublesPerOctave) {
    EXPECT_EQ(linearStep(0, 8363, 44100), 12428u); // 8363 x 65536 / 44100
    EXPECT_EQ(linearStep(768, 8363, 44100), 24856u);
    EXPECT_EQ(linearStep(-768, 8363, 44100), 6214u);
    EXPECT_EQ(linearStep(384, 8363, 44100), 17575u); // 8363 x 92682 / 44100 = 17575.95
    EXPECT_EQ(linearStep(-384, 8363, 44100), 8787u); // 8363 x 2^32 / (44100 x 92682)
    EXPECT_EQ(linearStep(1, 8363, 44100), 12428u);   // below 1/512 octave: no change
    EXPECT_EQ(linearStep(0, 8363, 0), 0u);
}

TEST(PitchTables, LinearStepOutOfRangeIsZeroNotGarbage) {
    EXPECT_EQ(linearStep(768 * 40, 8363, 44100), 0u);
    EXPECT_EQ(linearStep(-768 * 40, 8363, 44100), 0u);
    EXPECT_EQ(linearStep(INT32_MIN, 8363, 44100), 0u);
    EXPECT_EQ(linearStep(INT32_MAX, 8363, 44100), 0u);
}

} // namespace
} // namespace tolva::test
