#include "support/PlayerHarness.h"
#include "support/S3mBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

S3mSampleDef wideSample() {
    S3mSampleDef s;
    s.name = "wide";
    s.data.assign(2 * 1000, 0);
    s.flags = 4 | 1;
    s.loopStart = 100;
    s.loopEnd = 900;
    return s;
}

TEST(S3mSampleData, VoicesGetLoopsInBytesAndOffsetsInFrames) {
    S3mSampleDef once = loopedSample(600);
    once.flags = 0;
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(wideSample())
                              .sample(once)
                              .cell(0, 0, 0, s3mNote(4, 0, 1))
                              .cell(0, 0, 1, s3mNote(4, 0, 2, 'O', 0x02))
                              .cell(0, 1, 0, s3mNote(4, 0, 1, 'O', 0x03))
                              .cell(0, 1, 1, s3mNote(4, 0, 2, 'O', 0x03))
                              .build(),
                          mixer);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].end, 1800u);
    EXPECT_EQ(mixer.voices[0].flags & 0x0C, 0x0C);
    EXPECT_EQ(mixer.voices[1].end, 600u);
    EXPECT_EQ(mixer.voices[1].startOffset, 512u);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].startOffset, 1536u); // 768 frames of 2 bytes
    EXPECT_TRUE(mixer.voices[0].active);
    EXPECT_FALSE(mixer.voices[1].active); // 768 lies beyond the 600 bytes: no sound
}

TEST(S3mSampleData, SamplesWithoutRateOrDataStaySilent) {
    S3mSampleDef noRate = loopedSample(64);
    noRate.middleCRate = 0;
    S3mSampleDef adlib;
    adlib.type = 2;
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(noRate)
                              .sample(adlib)
                              .cell(0, 0, 0, s3mNote(4, 0, 1))
                              .cell(0, 0, 1, s3mNote(4, 0, 2))
                              .build(),
                          mixer);
    playRow(*player);
    EXPECT_FALSE(mixer.voices[0].active);
    EXPECT_EQ(player->channel(0).period, 0);
    EXPECT_EQ(mixer.voices[1].starts, 0u); // an absent sample is never chosen
}

} // namespace
} // namespace tolva::test
