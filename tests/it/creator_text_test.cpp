#include "formats/it/ItCreatorText.h"

#include <gtest/gtest.h>
#include <string>

using namespace tolva;

namespace {

std::string creator(uint16_t word) {
    char text[64];
    itCreatorText(word, text, sizeof text);
    return text;
}

} // namespace

TEST(ItCreatorText, ImpulseTrackerVersionsAndTheirSuffixes) {
    EXPECT_EQ(creator(0x0214), " 2.14");
    EXPECT_EQ(creator(0x0216), " 2.16");
    EXPECT_EQ(creator(0x0217), " 2.17 (ModPlug)");
    EXPECT_EQ(creator(0x0314), " 3.14 (?\?)");
    EXPECT_EQ(creator(0x0100), " 1.00");
}

TEST(ItCreatorText, OtherTrackers) {
    EXPECT_EQ(creator(0x5117), " (OpenMPT 1.17)");
    EXPECT_EQ(creator(0x1050), " (Schism Tracker 0.50)");
    EXPECT_EQ(creator(0x2000), "");
    EXPECT_EQ(creator(0x8214), ""); // negative high byte
}

TEST(ItCreatorText, SchismTrackerDatesCountDaysFromItsRelease) {
    EXPECT_EQ(creator(0x1051), " (Schism Tracker 2009-11-1)");
    EXPECT_EQ(creator(0x1050 + 30), " (Schism Tracker 2009-11-30)");
    EXPECT_EQ(creator(0x1050 + 31), " (Schism Tracker 2009-12-1)");
    EXPECT_EQ(creator(0x1050 + 30 + 31 + 31), " (Schism Tracker 2010-1-31)");
    // 2012 is a leap year: 2012-02-29 exists.
    int days = 30 + 31 + 365 + 365 + 31 + 29; // to 2012-02-29
    EXPECT_EQ(creator(static_cast<uint16_t>(0x1050 + days)), " (Schism Tracker 2012-2-29)");
    EXPECT_EQ(creator(static_cast<uint16_t>(0x1050 + days + 1)), " (Schism Tracker 2012-3-1)");
}

TEST(ItCreatorText, ShortBuffersStayTerminated) {
    char text[6];
    itCreatorText(0x5117, text, sizeof text);
    EXPECT_EQ(std::string(text), " (Ope");
}
