#include "formats/it/ItSample.h"
#include "support/ItFileBuilder.h"
#include "support/ItLoad.h"
#include "support/ItSampleEncoder.h"

#include <gtest/gtest.h>
#include <string>

using namespace tolva;
using test::ItFileBuilder;
using test::ItTestSample;
using test::loadItBytes;

namespace {

ItTestSample plain(uint32_t frames, uint8_t flags = 0x01) {
    ItTestSample s;
    s.frames = frames;
    s.flags = flags;
    uint32_t bytes = frames * (flags & 0x02 ? 2 : 1) * (flags & 0x04 ? 2 : 1);
    for (uint32_t i = 0; i < bytes; ++i)
        s.data.push_back(static_cast<uint8_t>(i));
    return s;
}

} // namespace

TEST(ItSampleHeaders, LengthsAndLoopsAreCountedInBytes) {
    ItFileBuilder b;
    ItTestSample s = plain(100, 0x01 | 0x02 | 0x04 | 0x10 | 0x20);
    s.loopStart = 10;
    s.loopEnd = 90;
    s.sustainStart = 1;
    s.sustainEnd = 2;
    s.rate = 22050;
    s.volume = 48;
    s.globalVolume = 40;
    s.defaultPan = 0x80 | 20;
    s.vibrato[0] = 5;
    s.vibrato[3] = 2;
    s.name = "lead";
    b.samples = {s};
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    const ItSample& r = it->module->samples[0];
    EXPECT_EQ(r.length, 400u);
    EXPECT_EQ(r.loopStart, 40u);
    EXPECT_EQ(r.loopEnd, 360u);
    EXPECT_EQ(r.sustainLoopStart, 4u);
    EXPECT_EQ(r.sustainLoopEnd, 8u);
    EXPECT_EQ(r.flags, 0x37);
    EXPECT_EQ(r.middleCRate, 22050u);
    EXPECT_EQ(r.volume, 48);
    EXPECT_EQ(r.globalVolume, 40);
    EXPECT_EQ(r.defaultPan, 0x94);
    EXPECT_EQ(r.vibratoSpeed, 5);
    EXPECT_EQ(r.vibratoWaveform, 2);
    EXPECT_TRUE(r.signedData);
    EXPECT_TRUE(r.present);
    EXPECT_STREQ(r.fileName, "SAMPLE.WAV");
    EXPECT_EQ(std::string(r.name), "lead" + std::string(21, ' '));
    EXPECT_EQ(it->song.sampleCount, 1u);
}

TEST(ItSampleHeaders, LoopsReachingPastTheDataAreCutOrDropped) {
    ItFileBuilder b;
    ItTestSample s = plain(50, 0x01 | 0x10 | 0x20);
    s.loopStart = 50;
    s.loopEnd = 60;
    s.sustainStart = 10;
    s.sustainEnd = 80;
    ItTestSample t = plain(50, 0x01 | 0x02 | 0x04 | 0x10 | 0x20);
    t.loopStart = 0;
    t.loopEnd = 0xFFFFFFFFu; // four bytes a frame: past 32 bits
    t.sustainStart = 0xFFFFFFFFu;
    b.samples = {s, t};
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    const ItSample& r = it->module->samples[0];
    EXPECT_EQ(r.flags & 0x30, 0x20);
    EXPECT_EQ(r.loopEnd, 50u);
    EXPECT_EQ(r.sustainLoopStart, 10u);
    EXPECT_EQ(r.sustainLoopEnd, 50u);
    const ItSample& q = it->module->samples[1];
    EXPECT_EQ(q.flags & 0x30, 0x10);
    EXPECT_EQ(q.loopEnd, 200u);
}

TEST(ItSampleHeaders, StereoDataIsInterleavedAndMonoKeptAsStored) {
    ItFileBuilder b;
    ItTestSample stereo8 = plain(3, 0x05);
    stereo8.data = {1, 2, 3, 11, 12, 13};
    ItTestSample stereo16 = plain(2, 0x07);
    stereo16.data = {1, 0, 2, 0, 11, 0, 12, 0};
    ItTestSample mono16 = plain(3, 0x03);
    b.samples = {stereo8, stereo16, mono16};
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    EXPECT_EQ(it->sampleBytes(0), (std::vector<uint8_t>{1, 11, 2, 12, 3, 13}));
    EXPECT_EQ(it->sampleBytes(1), (std::vector<uint8_t>{1, 0, 11, 0, 2, 0, 12, 0}));
    EXPECT_EQ(it->sampleBytes(2), mono16.data);
}

TEST(ItSampleHeaders, CompressedDataIsDecodedWithItsDeltaMode) {
    std::vector<int32_t> pcm = {0, 10, 30, 60, 100, 90, -20, -128, 127};
    ItFileBuilder b;
    for (bool doubleDelta : {false, true}) {
        ItTestSample s;
        s.frames = static_cast<uint32_t>(pcm.size());
        s.flags = 0x01 | 0x08;
        s.convert = doubleDelta ? 0x05 : 0x01;
        s.data = test::encodeItSample(pcm, {false, doubleDelta, true});
        b.samples.push_back(s);
    }
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    std::vector<uint8_t> expected;
    for (int32_t v : pcm)
        expected.push_back(static_cast<uint8_t>(v));
    EXPECT_EQ(it->sampleBytes(0), expected);
    EXPECT_EQ(it->sampleBytes(1), expected);
    EXPECT_EQ(it->module->samples[0].length, pcm.size());
}

TEST(ItSampleHeaders, EmptySlotsKeepOnlyTheirName) {
    ItFileBuilder b;
    ItTestSample s = plain(0);
    s.name = "just a comment";
    s.rate = 44100;
    ItTestSample t = plain(10, 0x00); // data bit clear
    b.samples = {s, t};
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    const ItSample& r = it->module->samples[0];
    EXPECT_EQ(std::string(r.name).rfind("just a comment", 0), 0u);
    EXPECT_FALSE(r.present);
    EXPECT_EQ(r.middleCRate, 0u);
    EXPECT_EQ(it->module->samples[1].length, 0u);
    EXPECT_EQ(it->mixer->liveBlocks(), 0u);
}

TEST(ItSampleHeaders, InformationLoadsReadHeadersButNoData) {
    ItFileBuilder b;
    ItTestSample s = plain(100, 0x01 | 0x10);
    s.loopEnd = 200;
    b.samples = {s};
    auto it = loadItBytes(b.build(), true);
    ASSERT_EQ(it->error, ItLoadError::None);
    const ItSample& r = it->module->samples[0];
    EXPECT_EQ(r.length, 100u);
    EXPECT_EQ(r.loopEnd, 100u);
    EXPECT_EQ(r.middleCRate, 8363u);
    EXPECT_EQ(r.data, nullptr);
    EXPECT_FALSE(r.present);
    EXPECT_TRUE(it->song.infoOnly);
    EXPECT_EQ(it->mixer->liveBlocks(), 0u);
}

TEST(ItSampleHeaders, StereoSamplesCutShortKeepTheFramesWhoseLeftHalfIsThere) {
    // Four 8-bit stereo frames stored as left 0 1 2 3, then right 4 5 6 7.
    ItFileBuilder b;
    b.samples = {plain(4, 0x01 | 0x04)};
    const std::vector<uint8_t> file = b.build();
    for (auto [cut, frames] :
         {std::pair<std::size_t, std::vector<uint8_t>>{3, {0, 4, 1, 0, 2, 0, 3, 0}},
          {6, {0, 0, 1, 0}}}) {
        auto loaded = loadItBytes(std::vector<uint8_t>(file.begin(), file.end() - cut));
        EXPECT_EQ(loaded->error, ItLoadError::None);
        EXPECT_EQ(loaded->sampleBytes(0), frames) << "cut " << cut;
    }
}

TEST(ItSampleHeaders, AdpcmSamplesAddTheirTableEntries) {
    // Deltas 0, +1, +2, +3, ..., -1; codes 1, 2 (byte 0x21), then 15, 0 (byte 0x0F).
    ItTestSample adpcm = plain(4);
    adpcm.convert = 0xFF;
    adpcm.data = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xFF, 0x21, 0x0F};
    ItFileBuilder b;
    b.samples = {adpcm};
    const std::vector<uint8_t> file = b.build();
    EXPECT_EQ(loadItBytes(file)->sampleBytes(0), (std::vector<uint8_t>{1, 3, 2, 2}));
    // Cut short, the codes the file holds still decode.
    EXPECT_EQ(loadItBytes(std::vector<uint8_t>(file.begin(), file.end() - 1))->sampleBytes(0),
              (std::vector<uint8_t>{1, 3}));
}

TEST(ItSampleHeaders, BrokenSamplesRefuseTheFile) {
    ItFileBuilder b;
    b.samples = {plain(100)};
    std::vector<uint8_t> file = b.build();
    // Cut short, the sample keeps the frames the file holds.
    std::vector<uint8_t> cut(file.begin(), file.end() - 1);
    EXPECT_EQ(loadItBytes(cut)->error, ItLoadError::None);
    EXPECT_EQ(loadItBytes(cut)->module->samples[0].length, 99u);

    std::size_t header = file[0xC2] | file[0xC3] << 8; // the one sample offset
    std::vector<uint8_t> unsigned_ = file;
    unsigned_[header + 3] = 'X';
    EXPECT_EQ(loadItBytes(unsigned_)->error, ItLoadError::SampleHeader);

    std::vector<uint8_t> huge = file;
    test::putLong(huge, header + 0x30, 0x80000000u);
    huge[header + 0x12] = 0x03; // 16-bit: 4 GiB of bytes
    EXPECT_EQ(loadItBytes(huge)->error, ItLoadError::SampleTooLong);
    huge[header + 0x12] = 0x01; // 2 GiB: all but the 100 bytes the file holds are missing
    EXPECT_EQ(loadItBytes(huge)->module->samples[0].length, 100u);

    std::vector<uint8_t> compressed = file;
    compressed[header + 0x12] = 0x09; // the raw bytes are no valid block chain
    EXPECT_EQ(loadItBytes(compressed)->error, ItLoadError::SampleData);
}

TEST(ItSampleHeaders, SampleCountsBeyondTheTableAreCut) {
    ItFileBuilder b;
    b.samples.assign(250, plain(0));
    b.samples[198].name = "last kept";
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    EXPECT_EQ(it->song.sampleCount, 199u);
    EXPECT_EQ(it->module->sampleCount, 199u);
    EXPECT_EQ(std::string(it->module->samples[198].name).rfind("last kept", 0), 0u);
}
