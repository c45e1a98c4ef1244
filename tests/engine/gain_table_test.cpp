#include "engine/GainTable.h"

#include <cmath>
#include <gtest/gtest.h>

namespace tolva {

TEST(GainTable, WholeSixtyFourThousandthsOfTwentyDecibelsPer256StepsPickedByNearest) {
    GainTable table;
    EXPECT_EQ(table[64] * 65536.0f, 11654.0f);
    EXPECT_EQ(table[448] * 65536.0f, 368536.0f);
    // The sum of round(65536 x 10^((i - 256) / 256)) over all entries, worked out with
    // 50-digit decimals; no entry lies near a rounding boundary.
    int64_t sum = 0;
    for (uint32_t i = 0; i < GainTable::Size; ++i) {
        double scaled = static_cast<double>(table[i]) * 65536.0;
        ASSERT_EQ(scaled, std::floor(scaled)) << "entry " << i;
        sum += static_cast<int64_t>(scaled);
    }
    EXPECT_EQ(sum, 72465354);

    // 0.1 dB is 1.28 steps, 0.7 dB 8.96; half steps go to the even neighbour: 0.4296875 dB
    // is 5.5 steps, 0.5078125 dB 6.5. Beyond the table the ends stay.
    const std::pair<float, uint32_t> cases[] = {
        {0.0f, 256},  {-15.0f, 64},      {15.0f, 448},      {0.1f, 257},
        {0.7f, 265},  {0.4296875f, 262}, {0.5078125f, 262}, {-0.4296875f, 250},
        {40.0f, 512}, {-327.68f, 0},     {NAN, 0},
    };
    for (const auto& [decibels, entry] : cases)
        EXPECT_EQ(ampToGain(decibels), table[entry]) << decibels;
}

} // namespace tolva
