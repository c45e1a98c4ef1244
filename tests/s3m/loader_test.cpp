#include "formats/s3m/S3mLoader.h"
#include "formats/s3m/S3mPlayer.h"
#include "song/MemoryStream.h"
#include "support/S3mBuilder.h"
#include "support/SampleStoreMixer.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

std::unique_ptr<S3mPlayer> load(const std::vector<uint8_t>& bytes, Mixer* mixer = nullptr,
                                bool infoOnly = true) {
    MemoryStream stream(bytes);
    std::unique_ptr<Player> player = loadS3m(stream, infoOnly, mixer);
    return std::unique_ptr<S3mPlayer>(static_cast<S3mPlayer*>(player.release()));
}

TEST(S3mLoader, HeaderValuesAndTheirSubstitutes) {
    auto p = load(S3mBuilder().title("A title of 28 characters ok!").speed(0).tempo(32).build());
    ASSERT_TRUE(p);
    EXPECT_STREQ(p->song.title, "A title of 28 characters ok!");
    EXPECT_EQ(p->song.initialSpeed, 6);
    EXPECT_EQ(p->song.initialTempo, 125u);
    EXPECT_EQ(p->formatType(), FormatS3m);
    EXPECT_EQ(p->song.slideUpUnit, -4);
    EXPECT_EQ(p->song.slideDownUnit, 4);
    EXPECT_EQ(p->song.tremoloShift, 1);
    EXPECT_EQ(p->song.maxPeriod, 32767);
    EXPECT_EQ(p->song.minPeriod, 24);
    EXPECT_TRUE(p->song.signedSamples);

    p = load(
        S3mBuilder().speed(3).tempo(33).flags(0x10).signedSamples(false).globalVolume(40).build());
    EXPECT_EQ(p->song.initialSpeed, 3);
    EXPECT_EQ(p->song.initialTempo, 33u);
    EXPECT_EQ(p->song.maxPeriod, 3424);
    EXPECT_EQ(p->song.minPeriod, 452);
    EXPECT_FALSE(p->song.signedSamples);
    EXPECT_EQ(p->song.initialGlobalVolume, 40);
    EXPECT_EQ(p->s3mFlags, 0x10);

    // A global volume beyond 64 would overflow the mixer volume.
    EXPECT_EQ(load(S3mBuilder().globalVolume(200).build())->song.initialGlobalVolume, 64);
}

TEST(S3mLoader, OrderMarkersBecomeSkipAndEnd) {
    auto p = load(S3mBuilder().orders({0, 254, 1, 255, 2}).build());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->song.orderCount, 5);
    const int32_t expected[] = {0, OrderSkip, 1, OrderEnd, 2, OrderEnd};
    for (uint32_t i = 0; i < 6; ++i)
        EXPECT_EQ(p->song.orders[i], expected[i]) << i;
}

TEST(S3mLoader, ChannelPanningFromPanTableSettingsAndMono) {
    S3mBuilder b(0);
    b.channelSetting(0, 3).channelSetting(1, 9).channelSetting(2, 1).channelSetting(3, 10);
    b.channelSetting(4, 20).channelSetting(5, 0x83);
    b.panByte(2, 0x2F).panByte(3, 0x20).panByte(1, 0x0F);
    auto p = load(b.build());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->channelPan[0], 48);
    EXPECT_EQ(p->channelPan[1], 192); // a pan byte without 0x20 gives no position
    EXPECT_EQ(p->channelPan[2], 255);
    EXPECT_EQ(p->channelPan[3], 0);
    EXPECT_EQ(p->channelPan[4], 128);
    EXPECT_FALSE(p->channelDisabled[4]);
    EXPECT_TRUE(p->channelDisabled[5]);
    EXPECT_TRUE(p->channelDisabled[31]);
    EXPECT_FALSE(p->mono);

    b.stereo(false);
    p = load(b.build());
    EXPECT_TRUE(p->mono);
    for (uint32_t c = 0; c < 32; ++c)
        EXPECT_EQ(p->channelPan[c], 128) << c;
}

TEST(S3mLoader, SampleRecordsInBytesWithLoopChecks) {
    S3mSampleDef wide;
    wide.name = std::string("wide\0name", 9);
    wide.fileName = "WIDE.SMP";
    wide.data.assign(2000, 0x11);
    wide.flags = 4 | 1;
    wide.loopStart = 100;
    wide.loopEnd = 900;
    wide.volume = 50;
    wide.middleCRate = 22050;
    S3mSampleDef pastEnd = loopedSample(64);
    pastEnd.loopEnd = 1000; // cut to the data
    S3mSampleDef loopAfterEnd = loopedSample(64);
    loopAfterEnd.loopStart = 64; // no loop at all
    S3mSampleDef adlib;
    adlib.type = 2;
    adlib.name = "an AdLib voice";
    S3mSampleDef empty;
    empty.name = "empty";
    SampleStoreMixer mixer;
    auto p = load(S3mBuilder()
                      .sample(wide)
                      .sample(pastEnd)
                      .sample(loopAfterEnd)
                      .sample(adlib)
                      .sample(empty)
                      .build(),
                  &mixer, false);
    ASSERT_TRUE(p);
    ASSERT_EQ(p->song.sampleCount, 5u);
    const S3mSample& s = p->samples[0];
    EXPECT_TRUE(s.present);
    EXPECT_EQ(s.length, 2000u);
    EXPECT_EQ(s.loopStart, 200u);
    EXPECT_EQ(s.loopEnd, 1800u);
    EXPECT_EQ(s.flags, Sample16Bit | SampleLoop);
    EXPECT_EQ(s.volume, 50);
    EXPECT_EQ(s.middleCRate, 22050u);
    EXPECT_STREQ(s.fileName, "WIDE.SMP");
    EXPECT_EQ(std::string(s.name), std::string("wide name") + std::string(18, ' '));
    EXPECT_EQ(mixer.bytesOf(s.data), std::vector<uint8_t>(2000, 0x11));

    EXPECT_EQ(p->samples[1].loopEnd, 64u);
    EXPECT_EQ(p->samples[1].flags, SampleLoop);
    EXPECT_EQ(p->samples[2].flags, 0);
    EXPECT_FALSE(p->samples[3].present);
    EXPECT_EQ(std::string(p->samples[3].name).substr(0, 14), "an AdLib voice");
    EXPECT_FALSE(p->samples[4].present);
    EXPECT_EQ(p->samples[4].length, 0u);

    p.reset();
    EXPECT_EQ(mixer.liveBlocks(), 0u); // the player hands its data back

    p = load(S3mBuilder().sample(wide).build(), &mixer, true);
    EXPECT_TRUE(p->song.infoOnly);
    EXPECT_EQ(p->samples[0].data, nullptr);
    EXPECT_EQ(p->samples[0].length, 2000u);
    EXPECT_EQ(mixer.liveBlocks(), 0u);
}

TEST(S3mLoader, OnlyNamedPatternsWithCellsAreKept) {
    auto p = load(S3mBuilder()
                      .orders({0, 2, 255, 1})
                      .cell(0, 5, 3, s3mFx('A', 3))
                      .cell(1, 0, 0, s3mFx('A', 3)) // named only after the end marker
                      .patternCount(3)              // pattern 2 has no cell
                      .build());
    ASSERT_TRUE(p);
    EXPECT_FALSE(p->song.patterns[0].empty());
    EXPECT_TRUE(p->song.patterns[1].empty());
    EXPECT_TRUE(p->song.patterns[2].empty());
}

TEST(S3mLoader, PlayerChannelsAreTheUsedS3mChannelsInOrder) {
    auto p = load(S3mBuilder(8).cell(0, 0, 5, s3mFx('A', 3)).build());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->song.channelCount, 1u);
    EXPECT_EQ(p->s3mChannelOf(0), 5u);

    p = load(S3mBuilder(8).cell(0, 0, 6, s3mFx('A', 3)).cell(0, 9, 1, s3mFx('A', 3)).build());
    EXPECT_EQ(p->song.channelCount, 2u);
    EXPECT_EQ(p->s3mChannelOf(0), 1u);
    EXPECT_EQ(p->s3mChannelOf(1), 6u);
    DefaultPannings pans;
    p->defaultPannings(pans);
    EXPECT_EQ(pans[0].panning, 0xC0); // setting 8: right
    EXPECT_EQ(pans[1].panning, 0x30); // setting 3: left

    p = load(S3mBuilder().build());
    EXPECT_EQ(p->song.channelCount, 1u); // no cell anywhere
}

TEST(S3mLoader, DescriptionsCarryTheS3mFields) {
    S3mSampleDef s = loopedSample(32, 40, 16726);
    s.fileName = "DRUM.RAW";
    auto p = load(S3mBuilder(4)
                      .sample(s)
                      .channelSetting(1, 0x81)
                      .cell(0, 0, 0, s3mFx('A', 1))
                      .cell(0, 0, 1, s3mFx('A', 1))
                      .build());
    ASSERT_TRUE(p);
    SampleDescription d;
    p->describeSample(d, 0, 0);
    EXPECT_TRUE(d.fieldMask & SampleFieldFileName);
    EXPECT_STREQ(d.fileName, "DRUM.RAW");
    EXPECT_EQ(d.referenceRate, 16726u);
    EXPECT_EQ(d.referenceOctave, 4u);
    EXPECT_EQ(d.defaultVolume, 40);
    EXPECT_EQ(d.loopKind, LoopForward);

    SongDescription song;
    p->describeSong(song);
    EXPECT_EQ(song.channelCount, 2u);
    EXPECT_EQ(song.channelDisabled[0], 0);
    EXPECT_EQ(song.channelDisabled[1], 1);
    EXPECT_EQ(song.initialTempo, 125);
}

} // namespace
} // namespace tolva::test
