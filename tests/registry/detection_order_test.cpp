#include "engine/Player.h"
#include "song/FormatRegistry.h"
#include "song/MemoryStream.h"
#include "support/FormatsEnabled.h"
#include "support/ModBuilder.h"

#include <cstring>
#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::test;

namespace {

struct Detected {
    std::unique_ptr<Player> player;
    LoadFailure failure;
};

Detected detect(const std::vector<uint8_t>& bytes) {
    MemoryStream stream(bytes);
    Detected d;
    d.player = createPlayer(stream, true, nullptr, &d.failure);
    return d;
}

std::vector<uint8_t> taggedMod() {
    return ModBuilder(4, "M.K.").sample(squareSample(32)).cell(0, 0, 0, note(25, 1)).build();
}

// One 1024-byte pattern and no sample data: exactly 1624 bytes.
std::vector<uint8_t> fifteenSampleMod() {
    ModBuilder b(4, "");
    b.sample(ModSampleDef{"empty", {}, 40, 0, 0, 0});
    return b.cell(0, 0, 0, note(25, 1)).build();
}

void overwrite(std::vector<uint8_t>& bytes, std::size_t offset, const char* text) {
    std::memcpy(bytes.data() + offset, text, std::strlen(text));
}

} // namespace

class Detection : public ::testing::Test {
    FormatsEnabled formats_;
};

TEST_F(Detection, AFileTwoHandlersCouldClaimGoesToTheFirstInRegistryOrder) {
    std::vector<uint8_t> bytes = taggedMod();
    overwrite(bytes, 0, "if");    // also a 669 signature
    overwrite(bytes, 44, "SCRM"); // and an S3M one
    Detected d = detect(bytes);
    ASSERT_TRUE(d.player);
    EXPECT_EQ(d.player->formatType(), FormatMod);
    EXPECT_EQ(d.player->song.channelCount, 4u);
}

TEST_F(Detection, UnsupportedXmVersionStopsDetection) {
    std::vector<uint8_t> bytes = fifteenSampleMod();
    overwrite(bytes, 0, "eXtEnDeD mOdUlE: ");
    bytes[58] = 0x02;
    bytes[59] = 0x01;
    // Without the XM header check the file is a good 15-sample MOD.
    xmHandler().setEnabled(false);
    Detected asMod = detect(bytes);
    ASSERT_TRUE(asMod.player);
    EXPECT_EQ(asMod.player->formatType(), FormatMod15);

    xmHandler().setEnabled(true);
    Detected d = detect(bytes);
    EXPECT_FALSE(d.player);
    EXPECT_EQ(d.failure, LoadFailure::UnsupportedVersion);
}

TEST_F(Detection, TaggedModWithCutPatternDataIsNotRetriedAsFifteenSamples) {
    std::vector<uint8_t> bytes = taggedMod();
    bytes.resize(1084 + 1000); // the first pattern needs 1024 bytes
    Detected d = detect(bytes);
    EXPECT_FALSE(d.player);
    EXPECT_EQ(d.failure, LoadFailure::Damaged);
}

TEST_F(Detection, FifteenSampleModNeedsHeaderAndOneWholePattern) {
    std::vector<uint8_t> bytes = fifteenSampleMod();
    ASSERT_EQ(bytes.size(), 1624u);
    Detected whole = detect(bytes);
    ASSERT_TRUE(whole.player);
    EXPECT_EQ(whole.player->formatType(), FormatMod15);
    EXPECT_EQ(whole.player->song.sampleCount, 15u);

    for (std::size_t size : {0u, 599u, 600u, 1084u, 1623u}) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<long>(size));
        Detected d = detect(cut);
        EXPECT_FALSE(d.player) << size << " bytes";
        EXPECT_EQ(d.failure, LoadFailure::NotAModule) << size << " bytes";
    }
}

TEST_F(Detection, FifteenSampleCandidateWithImpossibleValuesIsRefused) {
    ModBuilder withData(4, "");
    std::vector<uint8_t> loud = withData.sample(squareSample(32, 64)).build();
    ASSERT_TRUE(detect(loud).player);
    loud[20 + 25] = 65; // volume of sample 1
    EXPECT_FALSE(detect(loud).player);

    ModBuilder b(4, "");
    b.sample(ModSampleDef{"empty", {}, 40, 0, 0, 0});
    std::vector<uint8_t> highSample = b.cell(0, 5, 2, note(25, 16)).build();
    Detected d = detect(highSample);
    EXPECT_FALSE(d.player);
    EXPECT_EQ(d.failure, LoadFailure::NotAModule);
}

TEST_F(Detection, NewPlayerIsRewoundWithItsDefaultGain) {
    Detected four = detect(taggedMod());
    ASSERT_TRUE(four.player);
    EXPECT_EQ(four.player->gain, 1); // 4 x 0.3, truncated
    EXPECT_EQ(four.player->orderIndex, 0u);
    EXPECT_FALSE(four.player->ended);
    Detected eight = detect(ModBuilder(8, "OCTA").build());
    ASSERT_TRUE(eight.player);
    EXPECT_EQ(eight.player->gain, 2);
}
