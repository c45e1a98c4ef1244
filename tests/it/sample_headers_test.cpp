#include "formats/it/ItSample.h"
#include "support/ItHarness.h"
#include "support/ItSampleEncoder.h"

#include <gtest/gtest.h>
#include <string>

namespace tolva::test {
namespace {

// Data bytes counting up from 0.
ItTestSample plain(uint32_t frames, uint8_t flags = 0x01) {
    ItTestSample s;
    s.frames = frames;
    s.flags = flags;
    for (uint32_t i = 0; i < frames * (flags & 0x02 ? 2 : 1) * (flags & 0x04 ? 2 : 1); ++i)
        s.data.push_back(static_cast<uint8_t>(i));
    return s;
}

std::unique_ptr<ItLoaded> loadSamples(const std::vector<ItTestSample>& samples) {
    ItFileBuilder b;
    b.samples = samples;
    return loadItBytes(b.build());
}

// Lengths and loops counted in bytes; loops reaching past the data cut or dropped.
TEST(ItSampleHeaders, FieldsComeFromTheHeader) {
    ItTestSample s{.name = "lead",
                   .flags = 0x37,
                   .frames = 100,
                   .loopStart = 10,
                   .loopEnd = 90,
                   .sustainStart = 1,
                   .sustainEnd = 2,
                   .rate = 22050,
                   .volume = 48,
                   .globalVolume = 40,
                   .defaultPan = 0x80 | 20,
                   .vibrato = {5, 0, 0, 2},
                   .data = plain(400).data};
    ItTestSample past{.flags = 0x31,
                      .frames = 50,
                      .loopStart = 50,
                      .loopEnd = 60,
                      .sustainStart = 10,
                      .sustainEnd = 80,
                      .data = plain(50).data};
    // Four bytes a frame: the loop end goes past 32 bits.
    ItTestSample wide{.flags = 0x37,
                      .frames = 50,
                      .loopEnd = 0xFFFFFFFFu,
                      .sustainStart = 0xFFFFFFFFu,
                      .data = plain(200).data};
    auto it = loadSamples({s, past, wide});
    ASSERT_EQ(it->error, ItLoadError::None);
    const ItSample& r = it->module->samples[0];
    EXPECT_EQ((std::vector<uint32_t>{r.length, r.loopStart, r.loopEnd, r.sustainLoopStart,
                                     r.sustainLoopEnd, r.flags, r.middleCRate, r.volume,
                                     r.globalVolume, r.defaultPan, r.vibratoSpeed,
                                     r.vibratoWaveform, r.signedData, r.present}),
              (std::vector<uint32_t>{400, 40, 360, 4, 8, 0x37, 22050, 48, 40, 0x94, 5, 2, 1, 1}));
    EXPECT_STREQ(r.fileName, "SAMPLE.WAV");
    EXPECT_EQ(std::string(r.name), "lead" + std::string(21, ' '));
    EXPECT_EQ(it->song.sampleCount, 3u);
    const ItSample& q = it->module->samples[1];
    EXPECT_EQ(
        (std::vector<uint32_t>{q.flags & 0x30u, q.loopEnd, q.sustainLoopStart, q.sustainLoopEnd}),
        (std::vector<uint32_t>{0x20, 50, 10, 50}));
    EXPECT_EQ(it->module->samples[2].flags & 0x30, 0x10);
    EXPECT_EQ(it->module->samples[2].loopEnd, 200u);
}

TEST(ItSampleHeaders, StereoDataIsInterleavedAndCompressedDataDecoded) {
    ItTestSample stereo8 = plain(3, 0x05);
    stereo8.data = {1, 2, 3, 11, 12, 13};
    ItTestSample stereo16 = plain(2, 0x07);
    stereo16.data = {1, 0, 2, 0, 11, 0, 12, 0};
    const std::vector<int32_t> pcm = {0, 10, 30, 60, 100, 90, -20, -128, 127};
    std::vector<ItTestSample> samples = {stereo8, stereo16, plain(3, 0x03)};
    for (bool doubleDelta : {false, true}) {
        samples.push_back(plain(static_cast<uint32_t>(pcm.size()), 0x01 | 0x08));
        samples.back().convert = doubleDelta ? 0x05 : 0x01;
        samples.back().data = encodeItSample(pcm, false, doubleDelta);
    }
    auto it = loadSamples(samples);
    ASSERT_EQ(it->error, ItLoadError::None);
    EXPECT_EQ(it->sampleBytes(0), (std::vector<uint8_t>{1, 11, 2, 12, 3, 13}));
    EXPECT_EQ(it->sampleBytes(1), (std::vector<uint8_t>{1, 0, 11, 0, 2, 0, 12, 0}));
    EXPECT_EQ(it->sampleBytes(2), samples[2].data);
    const std::vector<uint8_t> expected = {0, 10, 30, 60, 100, 90, 236, 128, 127};
    EXPECT_EQ(it->sampleBytes(3), expected);
    EXPECT_EQ(it->sampleBytes(4), expected);
    EXPECT_EQ(it->module->samples[3].length, pcm.size());
}

TEST(ItSampleHeaders, EmptySlotsKeepOnlyTheirName) {
    ItTestSample s = plain(0);
    s.name = "just a comment";
    s.rate = 44100;
    auto it = loadSamples({s, plain(10, 0x00)}); // data bit clear
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
    b.samples = {plain(100, 0x01 | 0x10)};
    b.samples[0].loopEnd = 200;
    auto it = loadItBytes(b.build(), true);
    ASSERT_EQ(it->error, ItLoadError::None);
    const ItSample& r = it->module->samples[0];
    EXPECT_EQ((std::vector<uint32_t>{r.length, r.loopEnd, r.middleCRate, r.present}),
              (std::vector<uint32_t>{100, 100, 8363, 0}));
    EXPECT_EQ(r.data, nullptr);
    EXPECT_TRUE(it->song.infoOnly);
    EXPECT_EQ(it->mixer->liveBlocks(), 0u);
}

TEST(ItSampleHeaders, SamplesCutShortKeepWhatTheFileHolds) {
    ItTestSample adpcm = plain(4);
    adpcm.convert = 0xFF;
    // Deltas 0, +1, +2, +3, ..., -1; codes 1, 2 (byte 0x21), then 15, 0 (byte 0x0F).
    adpcm.data = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xFF, 0x21, 0x0F};
    // Four 8-bit stereo frames stored as left 0 1 2 3, then right 4 5 6 7: a frame stays
    // while its left half is there.
    const struct {
        ItTestSample sample;
        std::size_t cut;
        std::vector<uint8_t> bytes;
    } cases[] = {
        {plain(4, 0x05), 3, {0, 4, 1, 0, 2, 0, 3, 0}},
        {plain(4, 0x05), 6, {0, 0, 1, 0}},
        {adpcm, 0, {1, 3, 2, 2}},
        {adpcm, 1, {1, 3}},
        {plain(100), 1, std::vector<uint8_t>(plain(99).data)},
    };
    for (const auto& c : cases) {
        ItFileBuilder b;
        b.samples = {c.sample};
        const std::vector<uint8_t> file = b.build();
        auto it = loadItBytes(std::vector<uint8_t>(file.begin(), file.end() - c.cut));
        EXPECT_EQ(it->error, ItLoadError::None);
        EXPECT_EQ(it->sampleBytes(0), c.bytes) << c.cut;
    }
}

TEST(ItSampleHeaders, BrokenSamplesRefuseTheFile) {
    ItFileBuilder b;
    b.samples = {plain(100)};
    const std::vector<uint8_t> file = b.build();
    const std::size_t header = file[0xC2] | file[0xC3] << 8; // the one sample offset
    std::vector<uint8_t> bad = file;
    bad[header + 3] = 'X';
    EXPECT_EQ(loadItBytes(bad)->error, ItLoadError::SampleHeader);
    bad = file;
    putLong(bad, header + 0x30, 0x80000000u);
    bad[header + 0x12] = 0x03; // 16-bit: 4 GiB of bytes
    EXPECT_EQ(loadItBytes(bad)->error, ItLoadError::SampleTooLong);
    bad[header + 0x12] = 0x01; // 2 GiB: all but the 100 bytes the file holds are missing
    EXPECT_EQ(loadItBytes(bad)->module->samples[0].length, 100u);
    bad = file;
    bad[header + 0x12] = 0x09; // the raw bytes are no valid block chain
    EXPECT_EQ(loadItBytes(bad)->error, ItLoadError::SampleData);
}

TEST(ItSampleHeaders, SampleCountsBeyondTheTableAreCut) {
    std::vector<ItTestSample> samples(250, plain(0));
    samples[198].name = "last kept";
    auto it = loadSamples(samples);
    ASSERT_EQ(it->error, ItLoadError::None);
    EXPECT_EQ(it->song.sampleCount, 199u);
    EXPECT_EQ(it->module->sampleCount, 199u);
    EXPECT_EQ(std::string(it->module->samples[198].name).rfind("last kept", 0), 0u);
}

} // namespace
} // namespace tolva::test
