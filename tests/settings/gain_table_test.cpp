#include "settings/GainTable.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace tolva;

TEST(GainTable, EntriesFollowTwentyDecibelsPer256Steps) {
    GainTable table;
    EXPECT_NEAR(table[0], 0.1f, 1.0f / 65536);
    EXPECT_EQ(table[256], 1.0f);
    EXPECT_EQ(table[512], 10.0f);
    EXPECT_NEAR(table[384], 3.16228f, 1e-5f);
    EXPECT_NEAR(table[64], 0.177826f, 1e-5f);
}

TEST(GainTable, EntriesAreWholeSixtyFourThousandthsAndTheSameOnEveryBuild) {
    GainTable table;
    // The sum of round(65536 x 10^((i - 256) / 256)) over all entries, worked out with
    // 50-digit decimals; no entry lies near a rounding boundary.
    int64_t sum = 0;
    for (uint32_t i = 0; i < GainTable::Size; ++i) {
        double scaled = static_cast<double>(table[i]) * 65536.0;
        ASSERT_EQ(scaled, std::floor(scaled)) << "entry " << i;
        sum += static_cast<int64_t>(scaled);
    }
    EXPECT_EQ(sum, 72465354);
    EXPECT_EQ(table[64] * 65536.0f, 11654.0f);
    EXPECT_EQ(table[448] * 65536.0f, 368536.0f);
}

TEST(GainTable, AmplificationPicksTheNearestEntry) {
    GainTable table;
    EXPECT_EQ(ampToGain(0.0f), 1.0f);
    EXPECT_EQ(ampToGain(-1500 / 100.0f), table[64]);
    EXPECT_NEAR(ampToGain(-15.0f), 0.1778f, 1e-4f);
    EXPECT_EQ(ampToGain(15.0f), table[448]);
    EXPECT_NEAR(ampToGain(15.0f), 5.6234f, 1e-4f);
    // 0.1 dB is 1.28 steps, 0.7 dB is 8.96 steps.
    EXPECT_EQ(ampToGain(0.1f), table[257]);
    EXPECT_EQ(ampToGain(0.7f), table[265]);
    // Half steps go to the even neighbour: 0.4296875 dB is 5.5 steps, 0.5078125 dB 6.5.
    EXPECT_EQ(ampToGain(0.4296875f), table[262]);
    EXPECT_EQ(ampToGain(0.5078125f), table[262]);
    EXPECT_EQ(ampToGain(-0.4296875f), table[250]);
}

TEST(GainTable, DecibelsBeyondTheTableStayAtItsEnds) {
    GainTable table;
    EXPECT_EQ(ampToGain(40.0f), table[512]);
    EXPECT_EQ(ampToGain(-327.68f), table[0]);
    EXPECT_EQ(ampToGain(NAN), table[0]);
}
