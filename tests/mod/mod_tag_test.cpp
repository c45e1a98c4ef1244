#include "formats/mod/ModTag.h"
#include "song/MemoryStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace tolva::test {
namespace {

uint32_t channelsOf(const char* tag) {
    return modTagChannels(reinterpret_cast<const uint8_t*>(tag));
}

TEST(ModTag, KnownTagsAndTheirChannelCounts) {
    EXPECT_EQ(channelsOf("M.K."), 4u);
    EXPECT_EQ(channelsOf("M!K!"), 4u);
    EXPECT_EQ(channelsOf("FLT4"), 4u);
    EXPECT_EQ(channelsOf("N.T."), 4u);
    EXPECT_EQ(channelsOf("6CHN"), 6u);
    EXPECT_EQ(channelsOf("8CHN"), 8u);
    EXPECT_EQ(channelsOf("OCTA"), 8u);
}

TEST(ModTag, TwoDigitChannelTags) {
    EXPECT_EQ(channelsOf("10CH"), 10u);
    EXPECT_EQ(channelsOf("32CH"), 32u);
    EXPECT_EQ(channelsOf("99CH"), 99u);
    EXPECT_EQ(channelsOf("00CH"), 0u);
    EXPECT_EQ(channelsOf("1xCH"), 0u);
    EXPECT_EQ(channelsOf("12Ch"), 0u);
}

TEST(ModTag, UnknownOrDifferentlyWrittenTagsAreNone) {
    EXPECT_EQ(channelsOf("m.k."), 0u);
    EXPECT_EQ(channelsOf("FLT8"), 0u);
    EXPECT_EQ(channelsOf("\0\0\0\0"), 0u);
}

TEST(ModTag, ReadFromTheStreamAtOffset1080) {
    std::vector<uint8_t> bytes(1084, 0);
    std::memcpy(bytes.data() + 1080, "M!K!", 4);
    MemoryStream stream(bytes);
    uint32_t tag = 0;
    EXPECT_EQ(findModTag(stream, &tag), 4u);
    EXPECT_EQ(tag, ModTagMK2);

    MemoryStream shortStream(std::vector<uint8_t>(1083, 0));
    EXPECT_EQ(findModTag(shortStream), 0u);
}

} // namespace
} // namespace tolva::test
