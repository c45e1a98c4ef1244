#include "formats/mod/ModTag.h"
#include "song/MemoryStream.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace tolva::test {
namespace {

TEST(ModTag, ChannelCounts) {
    // Tags are matched exactly as written; 0 is no tag.
    const std::pair<const char*, uint32_t> tags[] = {
        {"M.K.", 4},  {"M!K!", 4},    {"FLT4", 4}, {"N.T.", 4}, {"6CHN", 6},  {"8CHN", 8},
        {"OCTA", 8},  {"M&K!", 4},    {"FEST", 4}, {"NSMS", 4}, {"EXO4", 4},  {"TDZ4", 4},
        {"FA04", 4},  {"FA06", 6},    {"FA08", 8}, {"CD61", 6}, {"CD81", 8},  {"1CHN", 1},
        {"4CHN", 4},  {"9CHN", 9},    {"0CHN", 0}, {"xCHN", 0}, {"10CH", 10}, {"32CH", 32},
        {"99CH", 99}, {"00CH", 0},    {"1xCH", 0}, {"12Ch", 0}, {"m.k.", 0},  {"FLT8", 0},
        {"TDZ3", 0},  {"\0\0\0\0", 0}};
    for (const auto& [tag, channels] : tags)
        EXPECT_EQ(modTagChannels(reinterpret_cast<const uint8_t*>(tag)), channels) << tag;
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
