#include "engine/PitchTables.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tolva::test {
namespace {

TEST(PitchTables, OneOctaveInFiveHundredTwelveSteps) {
    // Half an octave is 65536 x sqrt(2).
    EXPECT_EQ(std::tuple(pitchTable[0], pitchTable[1], pitchTable[2], pitchTable[256]),
              std::tuple(65536u, 65625u, 65714u, 92682u));
    for (uint32_t i = 1; i < PitchTableLength; ++i) {
        EXPECT_GT(pitchTable[i], pitchTable[i - 1]) << i;
        EXPECT_NEAR(pitchTable[i], 65536.0 * std::exp2(i / 512.0), 11.0) << i;
    }
    EXPECT_LT(pitchTable[511], 131072u);
}

TEST(PitchTables, AutoVibratoWaveforms) {
    // Sine at 0..255, square at 256, ramp down at 512, ramp up at 768; sine[1] is
    // 511 x sin(2 pi / 256) = 12.54, sine[32] 511 / sqrt(2), ramp down 511 - 1022 / 255 per
    // step and ramp up at 128 130816 / 255 - 511.
    const std::pair<int, int32_t> points[] = {
        {0, 0},      {1, 13},     {32, 361},   {64, 511},  {96, 361},   {128, 0},
        {192, -511}, {255, -13},  {256, 511},  {383, 511}, {384, -511}, {512, 511},
        {513, 507},  {767, -511}, {768, -511}, {896, 2},   {1023, 511}};
    for (const auto& [index, value] : points)
        EXPECT_EQ(autoVibratoWaveforms[index], value) << index;
}

TEST(PitchTables, LinearStepDoublesPerOctave) {
    // 8363 x 65536 / 44100 = 12428; x 92682 / 65536 = 17575.95; / that = 8787. Below 1/512
    // octave nothing changes; out of range the step is 0, not garbage.
    const std::pair<int32_t, uint32_t> cases[] = {
        {0, 12428}, {768, 24856},  {-768, 6214},   {384, 17575},   {-384, 8787},
        {1, 12428}, {768 * 40, 0}, {-768 * 40, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}};
    for (const auto& [shift, step] : cases)
        EXPECT_EQ(linearStep(shift, 8363, 44100), step) << shift;
    EXPECT_EQ(linearStep(0, 8363, 0), 0u);
}

} // namespace
} // namespace tolva::test
