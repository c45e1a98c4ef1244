#include "formats/s3m/S3mLoader.h"
#include "formats/s3m/S3mPlayer.h"
#include "song/ByteOrder.h"
#include "song/MemoryStream.h"
#include "support/S3mBuilder.h"
#include "support/SampleStoreMixer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string_view>

namespace tolva::test {
namespace {

std::unique_ptr<S3mPlayer> load(const std::vector<uint8_t>& bytes, Mixer* mixer = nullptr) {
    MemoryStream stream(bytes);
    std::unique_ptr<Player> player = loadS3m(stream, mixer == nullptr, mixer);
    return std::unique_ptr<S3mPlayer>(static_cast<S3mPlayer*>(player.release()));
}

// Speed 0 and tempos below 33 fall back to 6 and 125; flag 0x10 keeps Amiga limits; a global
// volume beyond 64 would overflow the mixer volume.
TEST(S3mLoader, HeaderValuesChannelsAndPanning) {
    const auto values = [](const S3mBuilder& b) {
        const auto player = load(b.build());
        const Song& s = player->song;
        return std::vector<int>{s.initialSpeed,    int(s.initialTempo), s.maxPeriod,
                                s.minPeriod,       s.signedSamples,     s.initialGlobalVolume,
                                int(s.orderCount), s.orders[1],         s.orders[3]};
    };
    EXPECT_EQ(values(S3mBuilder().speed(0).tempo(32).globalVolume(200).orders({0, 254, 1, 255})),
              (std::vector<int>{6, 125, 32767, 24, 1, 64, 4, OrderSkip, OrderEnd}));
    EXPECT_EQ(values(S3mBuilder().speed(3).tempo(33).flags(0x10).signedSamples(false)),
              (std::vector<int>{3, 33, 3424, 452, 0, 64, 1, OrderEnd, OrderEnd}));

    S3mBuilder b(0);
    b.channelSetting(0, 3).channelSetting(1, 9).channelSetting(2, 1).channelSetting(3, 10);
    b.channelSetting(4, 20).channelSetting(5, 0x83);
    b.panByte(2, 0x2F).panByte(3, 0x20).panByte(1, 0x0F);
    auto p = load(b.build());
    ASSERT_TRUE(p);
    // A pan byte without 0x20 gives no position.
    EXPECT_EQ((std::vector<int>(p->channelPan.begin(), p->channelPan.begin() + 5)),
              (std::vector<int>{48, 192, 255, 0, 128}));
    EXPECT_FALSE(p->channelDisabled[4]);
    EXPECT_TRUE(p->channelDisabled[5] && p->channelDisabled[31]);

    // Player channels are the used S3M channels in order.
    p = load(S3mBuilder(8).cell(0, 0, 6, s3mFx('A', 3)).cell(0, 9, 1, s3mFx('A', 3)).build());
    EXPECT_EQ(p->song.channelCount, 2u);
    const DefaultPannings& pans = p->song.pannings;
    // Settings 8 (right) and 3 (left).
    EXPECT_EQ((std::vector<int>{int(p->s3mChannelOf(0)), int(p->s3mChannelOf(1)), pans[0].panning,
                                pans[1].panning}),
              (std::vector<int>{1, 6, 0xC0, 0x30}));
    EXPECT_EQ(load(S3mBuilder().build())->song.channelCount, 1u); // no cell anywhere

    SongDescription song;
    S3mBuilder first = S3mBuilder().channelSetting(0, 0x81).cell(0, 0, 0, s3mFx('A', 1));
    load(first.cell(0, 0, 1, s3mFx('A', 1)).build())->info().describeSong(song);
    EXPECT_EQ(std::tuple(song.channelCount, song.channelDisabled[0], song.channelDisabled[1]),
              std::tuple(2u, 1, 0));
}

TEST(S3mLoader, SampleRecordsPatternsAndDamagedFiles) {
    S3mSampleDef wide = {.name = std::string("wide\0name", 9), .fileName = "WIDE.SMP"};
    wide.data.assign(2000, 0x11);
    wide.middleCRate = 22050;
    wide.loopStart = 100;
    wide.loopEnd = 900;
    wide.flags = 4 | 1;
    S3mSampleDef pastEnd = loopedSample(64);
    pastEnd.loopEnd = 1000; // cut to the data
    S3mSampleDef loopAfterEnd = loopedSample(64);
    loopAfterEnd.loopStart = 40; // ends before it starts: no loop at all
    loopAfterEnd.loopEnd = 20;
    SampleStoreMixer mixer;
    S3mBuilder five = S3mBuilder().sample(wide).sample(pastEnd).sample(loopAfterEnd);
    five.sample({.type = 2, .name = "an AdLib voice"}).sample(S3mSampleDef{});
    auto p = load(five.build(), &mixer);
    ASSERT_TRUE(p);
    ASSERT_EQ(p->song.sampleCount, 5u);
    const S3mSample& s = p->samples[0];
    EXPECT_EQ(
        (std::vector<int>{s.present, int(s.length), int(s.loopStart), int(s.loopEnd), s.flags,
                          int(p->samples[1].loopEnd), p->samples[1].flags, p->samples[2].flags,
                          p->samples[3].present, p->samples[4].present || p->samples[4].length}),
        (std::vector<int>{1, 2000, 200, 1800, Sample16Bit | SampleLoop, 64, SampleLoop, 0, 0, 0}));
    EXPECT_EQ(std::string(s.name), std::string("wide name") + std::string(18, ' '));
    EXPECT_EQ(std::string(p->samples[3].name).substr(0, 14), "an AdLib voice");
    SampleDescription d;
    p->info().describeSample(d, 0, 0);
    EXPECT_STREQ(d.fileName, "WIDE.SMP");
    // Lengths and loop points in frames.
    EXPECT_EQ((std::vector<int>{bool(d.fieldMask & SampleFieldFileName), int(d.referenceRate),
                                int(d.referenceOctave), d.loopKind, int(d.length), int(d.loopStart),
                                int(d.loopEnd)}),
              (std::vector<int>{1, 22050, 4, LoopForward, 1000, 100, 900}));
    p.reset();
    EXPECT_EQ(mixer.liveBlocks(), 0u); // the player hands its data back

    p = load(S3mBuilder().sample(wide).build());
    EXPECT_TRUE(p->song.infoOnly && !p->samples[0].data);
    EXPECT_EQ(p->samples[0].length, 2000u);

    S3mBuilder b;
    b.sample(loopedSample(300)).sample(loopedSample(200)).orders({0, 2, 255, 1}).patternCount(3);
    b.cell(0, 5, 3, s3mFx('A', 3)).cell(1, 0, 0, s3mFx('A', 3));
    // Only patterns the orders name with cells are kept (2 has none), also after the end
    // marker, where another tune starts.
    p = load(b.build());
    ASSERT_TRUE(p);
    EXPECT_FALSE(p->song.patterns[0].empty() || p->song.patterns[1].empty());
    EXPECT_TRUE(p->song.patterns[2].empty());

    EXPECT_FALSE(load(S3mBuilder(b).orders({}).build()));
    // File type 17, a broken tag, 65535 orders or patterns (never allocated).
    for (auto [at, value] : {std::pair{0x1D, 17}, {0x2F, 'N'}, {0x20, 0xFFFF}, {0x24, 0xFFFF}}) {
        auto bytes = b.build();
        bytes[at] = static_cast<uint8_t>(value);
        bytes[at + 1] = static_cast<uint8_t>(value >> 8);
        EXPECT_FALSE(load(bytes)) << at;
    }
    EXPECT_FALSE(load(S3mBuilder().sample({.data = {1}, .packing = 1}).build()));
    EXPECT_FALSE(load(S3mBuilder().sample({.data = {1}, .signature = false}).build()));
    // Other instrument types are not checked.
    EXPECT_TRUE(load(S3mBuilder().sample({.type = 2, .signature = false}).build()));

    // Sample data cut short keeps what the file holds.
    auto bytes = b.build();
    bytes.pop_back();
    p = load(bytes, &mixer);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->samples[1].length, 199u);

    // A file cut inside the last pattern keeps the ones before.
    b = S3mBuilder().orders({0, 1, 2});
    for (uint32_t pattern = 0; pattern < 3; ++pattern)
        b.cell(pattern, 63, 0, s3mFx('A', 2));
    bytes = b.build();
    bytes.resize(bytes.size() - 10);
    p = load(bytes);
    ASSERT_TRUE(p);
    EXPECT_FALSE(p->song.patterns[1].empty());
    EXPECT_TRUE(p->song.patterns[2].empty());
    EXPECT_EQ(p->song.channelCount, 1u);
}

// ModPlug Tracker's 4-bit ADPCM: 16 deltas, then two codes a byte, the low nibble first, so the
// codes 1, 2, 1, 2 give 1, 3, 4, 6; an unsigned song keeps them unsigned. 16-bit data is never
// packed so. Its stereo samples hold all left values, then all right ones, and play as pairs; a
// file cut inside the right side leaves silence for the rest.
TEST(S3mLoader, AdpcmAndStereoSamplesAreDecoded) {
    const S3mSampleDef stereo{.data = {1, 2, 3, 11, 12, 13}, .loopEnd = 3, .flags = 2 | 1};
    auto bytes = S3mBuilder().sample(stereo).build();
    for (const bool cut : {false, true}) {
        SampleStoreMixer mixer;
        auto p = load(bytes, &mixer);
        ASSERT_TRUE(p);
        const S3mSample& s = p->samples[0];
        EXPECT_EQ(std::vector<uint8_t>(s.data, s.data + s.length),
                  (std::vector<uint8_t>{1, 11, 2, 12, 3, uint8_t(cut ? 0 : 13)}));
        EXPECT_EQ((std::vector<int>{int(s.loopEnd), s.flags}),
                  (std::vector<int>{6, SampleStereo | SampleLoop}));
        bytes.pop_back();
    }
    S3mSampleDef packed{.packing = 4};
    for (uint8_t delta = 0; delta < 16; ++delta)
        packed.data.push_back(delta);
    packed.data.resize(32, 0x21); // as many frames as bytes
    for (const uint8_t flip : {0, 0x80}) {
        SampleStoreMixer mixer;
        auto p = load(S3mBuilder().signedSamples(flip == 0).sample(packed).build(), &mixer);
        ASSERT_TRUE(p);
        const S3mSample& s = p->samples[0];
        EXPECT_EQ(std::vector<uint8_t>(s.data, s.data + 4),
                  (std::vector<uint8_t>{uint8_t(1 ^ flip), uint8_t(3 ^ flip), uint8_t(4 ^ flip),
                                        uint8_t(6 ^ flip)}));
        EXPECT_EQ(s.length, 32u);
    }
    packed.flags = 4;
    EXPECT_FALSE(load(S3mBuilder().sample(packed).build()));
}

// A sample's data parapointer has a high byte before its low word: data may lie past 1 MB.
TEST(S3mLoader, SampleDataBeyondTheFirstMegabyte) {
    std::vector<uint8_t> bytes = S3mBuilder().sample(loopedSample(64)).build();
    const std::string_view tag = "SCRS";
    const std::size_t header =
        std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end()) - bytes.begin() - 0x4C;
    const std::size_t data = std::size_t{readLe16(&bytes[header + 0x0E])} * 16;
    const std::vector<uint8_t> pcm(bytes.begin() + data, bytes.begin() + data + 64);
    bytes.resize(0x100000);
    bytes.insert(bytes.end(), pcm.begin(), pcm.end());
    bytes[header + 0x0D] = 0x01; // paragraph 0x10000
    bytes[header + 0x0E] = bytes[header + 0x0F] = 0;
    SampleStoreMixer mixer;
    auto p = load(bytes, &mixer);
    ASSERT_TRUE(p && p->samples[0].data);
    EXPECT_EQ(std::vector<uint8_t>(p->samples[0].data, p->samples[0].data + 64), pcm);
}

} // namespace
} // namespace tolva::test
