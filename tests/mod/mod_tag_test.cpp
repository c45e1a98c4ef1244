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
    EXPECT_EQ(channelsOf("M&K!"), 4u);
    EXPECT_EQ(channelsOf("FEST"), 4u);
    EXPECT_EQ(channelsOf("NSMS"), 4u);
    EXPECT_EQ(channelsOf("EXO4"), 4u);
    EXPECT_EQ(channelsOf("TDZ4"), 4u);
    EXPECT_EQ(channelsOf("FA04"), 4u);
    EXPECT_EQ(channelsOf("FA06"), 6u);
    EXPECT_EQ(channelsOf("FA08"), 8u);
    EXPECT_EQ(channelsOf("CD61"), 6u);
    EXPECT_EQ(channelsOf("CD81"), 8u);
}

TEST(ModTag, OneDigitChannelTags) {
    EXPECT_EQ(channelsOf("1CHN"), 1u);
    EXPECT_EQ(channelsOf("4CHN"), 4u);
    EXPECT_EQ(channelsOf("9CHN"), 9u);
    EXPECT_EQ(channelsOf("0CHN"), 0u);
    EXPECT_EQ(channelsOf("xCHN"), 0u);
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
    EXPECT_EQ(channelsOf("TDZ3"), 0u);
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
