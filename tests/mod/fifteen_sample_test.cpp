#include "formats/mod/ModLoader.h"
#include "song/MemoryStream.h"
#include "support/ModBuilder.h"
#include "support/SampleStoreMixer.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

std::unique_ptr<Player> load(const std::vector<uint8_t>& bytes, Mixer* mixer = nullptr) {
    MemoryStream stream(bytes);
    return loadMod(stream, mixer == nullptr, mixer);
}

ModBuilder fifteen() {
    return ModBuilder(4, "");
}

TEST(FifteenSampleMod, LoadsWithFourChannelsAndFifteenSamples) {
    ModSampleDef s = squareSample(32, 50);
    SampleStoreMixer mixer;
    auto player = load(fifteen()
                           .title("old song")
                           .sample(s)
                           .orders({0, 1})
                           .cell(1, 5, 3, note(13, 15, 0xC, 0x10))
                           .build(),
                       &mixer);
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

TEST(FifteenSampleMod, TrialLoadNeedsTheHeaderAndOnePattern) {
    const auto bytes = fifteen().build();
    ASSERT_EQ(bytes.size(), 1624u);
    EXPECT_TRUE(load(bytes));
    EXPECT_FALSE(load(std::vector<uint8_t>(bytes.begin(), bytes.end() - 1)));
}

TEST(FifteenSampleMod, LoudSamplesAndHighSampleNumbersAreRefused) {
    EXPECT_FALSE(load(fifteen().sample(squareSample(32, 65)).build()));
    EXPECT_TRUE(load(fifteen().sample(squareSample(32, 64)).build()));
    EXPECT_FALSE(load(fifteen().cell(0, 0, 0, note(13, 16)).build()));
    EXPECT_TRUE(load(fifteen().cell(0, 0, 0, note(13, 15)).build()));
}

TEST(FifteenSampleMod, TaggedFilesAcceptWhatTheOldFormRefuses) {
    EXPECT_TRUE(load(ModBuilder().sample(squareSample(32, 65)).build()));
    EXPECT_TRUE(load(ModBuilder().cell(0, 0, 0, note(13, 16)).build()));
}

} // namespace
} // namespace tolva::test
