#include "formats/s3m/S3mLoader.h"
#include "song/MemoryStream.h"
#include "support/S3mBuilder.h"
#include "support/SampleStoreMixer.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

std::unique_ptr<Player> load(const std::vector<uint8_t>& bytes, Mixer* mixer = nullptr) {
    MemoryStream stream(bytes);
    return loadS3m(stream, mixer == nullptr, mixer);
}

S3mBuilder song() {
    S3mBuilder b;
    b.sample(loopedSample(300)).sample(loopedSample(200));
    b.orders({0, 1, 2});
    for (uint32_t p = 0; p < 3; ++p)
        for (uint32_t r = 0; r < 64; r += 3)
            b.cell(p, r, r % 4, s3mNote(4, r % 12, 1 + r % 2, 'D', 0x12));
    return b;
}

TEST(S3mDamagedFile, WrongHeadersAndCountsBeyondTheFileAreRefused) {
    EXPECT_TRUE(load(song().build()));
    EXPECT_FALSE(load(song().fileType(17).build()));
    EXPECT_FALSE(load(song().orders({}).build()));
    auto bytes = song().build();
    bytes[0x2F] = 'N';
    EXPECT_FALSE(load(bytes));
    for (uint32_t countAt : {0x20u, 0x24u}) { // 65535 orders or patterns: never allocated
        bytes = song().build();
        bytes[countAt] = bytes[countAt + 1] = 0xFF;
        EXPECT_FALSE(load(bytes)) << countAt;
    }
    S3mSampleDef noSignature = loopedSample(16);
    noSignature.signature = false;
    EXPECT_FALSE(load(S3mBuilder().sample(noSignature).build()));
    S3mSampleDef packed = loopedSample(16);
    packed.packing = 1;
    EXPECT_FALSE(load(S3mBuilder().sample(packed).build()));
    S3mSampleDef adlib = noSignature; // other instrument types are not checked
    adlib.type = 2;
    EXPECT_TRUE(load(S3mBuilder().sample(adlib).build()));
}

TEST(S3mDamagedFile, SampleDataCutShortKeepsWhatTheFileHolds) {
    auto bytes = song().build();
    SampleStoreMixer mixer;
    auto player = load(bytes, &mixer);
    const uint32_t last = player->song.sampleCount - 1;
    const uint32_t whole = player->sample(last)->length;
    bytes.resize(bytes.size() - 1);
    player = load(bytes, &mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->sample(last)->length, whole - 1);
}

TEST(S3mDamagedFile, PatternsBeforeACutAreKept) {
    S3mBuilder b;
    b.orders({0, 1, 2});
    for (uint32_t p = 0; p < 3; ++p)
        b.cell(p, 63, 0, s3mFx('A', 2));
    auto bytes = b.build();
    bytes.resize(bytes.size() - 10); // into the last pattern
    auto p = load(bytes);
    ASSERT_TRUE(p);
    EXPECT_FALSE(p->song.patterns[0].empty());
    EXPECT_FALSE(p->song.patterns[1].empty());
    EXPECT_TRUE(p->song.patterns[2].empty());
    EXPECT_EQ(p->song.channelCount, 1u);
}

TEST(S3mDamagedFile, GarbledPackedRowsStayInsideThePattern) {
    // Cells in descending channel order, a cell cut by the pattern end, channel bits beyond
    // the enabled ones.
    const std::vector<uint8_t> rows = {0x83, 1, 2, 0x21, 0x41, 5, 0x80, 0xE0, 0x55};
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder().sample(loopedSample(32)).rawPattern(0, rows).build(), mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->song.channelCount, 3u);
    mixer.render(44100 * 20, nullptr, nullptr);
    EXPECT_TRUE(player->ended);
}

} // namespace
} // namespace tolva::test
