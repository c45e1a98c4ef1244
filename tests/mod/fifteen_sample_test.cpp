#include "formats/mod/ModLoader.h"
#include "song/MemoryStream.h"
#include "support/ModBuilder.h"
#include "support/SampleStoreMixer.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

bool loads(const std::vector<uint8_t>& bytes) {
    MemoryStream stream(bytes);
    return loadMod(stream, true, nullptr) != nullptr;
}

TEST(FifteenSampleMod, LoadsWithFourChannelsAndFifteenSamples) {
    SampleStoreMixer mixer;
    MemoryStream stream(ModBuilder(4, "")
                            .title("old song")
                            .sample(squareSample(32, 50))
                            .orders({0, 1})
                            .cell(1, 5, 3, note(13, 15, 0xC, 0x10))
                            .build());
    auto player = loadMod(stream, false, &mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->song.channelCount, 4u);
    EXPECT_EQ(player->song.sampleCount, 15u);
    EXPECT_EQ(player->formatType(), FormatMod15);
    EXPECT_STREQ(player->song.title, "old song");
    EXPECT_EQ(player->song.orders[1], 1);
    EXPECT_FALSE(player->isPatternMissing(1));
    EXPECT_TRUE(player->sample(0)->present);
    EXPECT_EQ(player->sample(15), nullptr);
}

TEST(FifteenSampleMod, TrialLoadRefusesWhatTaggedFilesAccept) {
    // The header and one pattern are 1624 bytes; volumes above 64 and sample numbers above 15
    // only pass with a tag.
    const auto bytes = ModBuilder(4, "").build();
    ASSERT_EQ(bytes.size(), 1624u);
    EXPECT_TRUE(loads(bytes));
    EXPECT_FALSE(loads(std::vector<uint8_t>(bytes.begin(), bytes.end() - 1)));
    for (const char* tag : {"", "M.K."}) {
        const bool tagged = *tag != 0;
        EXPECT_EQ(loads(ModBuilder(4, tag).sample(squareSample(32, 65)).build()), tagged);
        EXPECT_TRUE(loads(ModBuilder(4, tag).sample(squareSample(32, 64)).build()));
        EXPECT_EQ(loads(ModBuilder(4, tag).cell(0, 0, 0, note(13, 16)).build()), tagged);
        EXPECT_TRUE(loads(ModBuilder(4, tag).cell(0, 0, 0, note(13, 15)).build()));
    }
}

} // namespace
} // namespace tolva::test
