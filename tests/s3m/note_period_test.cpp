#include "formats/s3m/S3mPlayer.h"
#include "support/PlayerHarness.h"
#include "support/S3mBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(S3mNotePeriod, MiddleCRateScalesTheOctaveTableIntoPeriodsAndSteps) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64, 64, 8363))
                              .sample(loopedSample(64, 64, 16726))
                              .sample(loopedSample(64, 64, 10000))
                              .build(),
                          mixer);
    ASSERT_TRUE(player);
    Channel& ch = player->channel(0);
    ch.sample = player->sample(0);
    EXPECT_EQ(player->noteToPeriod(ch, 0x405), 1280); // F-4
    EXPECT_EQ(player->noteToPeriod(ch, 0x400), 1712); // C-4
    EXPECT_EQ(player->noteToPeriod(ch, 0x50B), 454);  // B-5: 907 x 32 >> 6 = 453.5, rounded up
    ch.sample = player->sample(1);
    EXPECT_EQ(player->noteToPeriod(ch, 0x400), 856); // twice the rate, half the period
    ch.sample = player->sample(2);
    // 1712 x 267616 / 10000 = 45815, >> 5 = 1431 with bit 4 set: 1432.
    EXPECT_EQ(player->noteToPeriod(ch, 0x400), 1432);
    ch.sample = nullptr;
    EXPECT_EQ(player->noteToPeriod(ch, 0x400), 0);

    EXPECT_EQ(player->periodToFrequency(1712, ch), 12427u);
    EXPECT_EQ(player->periodToFrequency(28, ch), 759866u);
    EXPECT_EQ(player->periodToFrequency(27, ch), 0u); // silence instead of a division
}

TEST(S3mNotePeriod, NotesStartWithTheirSampleAndCutStopsThem) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64, 48))
                              .cell(0, 0, 0, s3mNote(4, 5, 1))
                              .cell(0, 1, 0, S3mCell{254})
                              .cell(0, 2, 0, s3mNote(4, 0))
                              .cell(0, 3, 0, S3mCell{0x4C}) // semitone 12: no note
                              .cell(0, 4, 0, s3mVolume(50))
                              .cell(0, 5, 0, S3mCell{255, 1})
                              .build(),
                          mixer);
    playRow(*player);
    EXPECT_TRUE(mixer.voices[0].active);
    EXPECT_EQ(mixer.voices[0].step, 16622u); // period 1280
    EXPECT_EQ(mixer.voices[0].volume, 96);   // 48 at global volume 64
    playRow(*player);
    EXPECT_FALSE(mixer.voices[0].active);
    EXPECT_EQ(player->channel(0).period, 0);
    playRow(*player); // a note without instrument keeps the sample
    EXPECT_TRUE(mixer.voices[0].active);
    EXPECT_EQ(mixer.voices[0].step, 12427u);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 2u);
    playRow(*player);
    EXPECT_EQ(player->channel(0).volume, 50);
    playRow(*player); // an instrument alone resets the volume and restarts nothing
    EXPECT_EQ(player->channel(0).volume, 48);
    EXPECT_EQ(mixer.voices[0].starts, 2u);
}

TEST(S3mNotePeriod, S2RetunesTheSampleForEveryLaterNote) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64))
                              .cell(0, 0, 0, s3mNote(4, 0, 1, 'S', 0x21))
                              .cell(0, 1, 1, s3mNote(4, 0, 1))
                              .build(),
                          mixer);
    playRow(*player);
    auto& s3m = static_cast<S3mPlayer&>(*player);
    EXPECT_EQ(s3m.samples[0].middleCRate, 7941u);
    // The command runs before the row's note is committed, so that note is retuned too:
    // 1712 x 267616 / 7941 = 57695, >> 5 = 1802 with bit 4 set: 1803.
    EXPECT_EQ(player->channel(0).period, 1803);
    EXPECT_EQ(mixer.voices[0].step, 11800u);
    playRow(*player);
    EXPECT_EQ(player->channel(1).period, 1803);
}

TEST(S3mNotePeriod, DisabledChannelIsReadButSilent) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder(3)
                              .channelSetting(1, 0x81)
                              .sample(loopedSample(64))
                              .cell(0, 0, 0, s3mNote(4, 0, 1))
                              .cell(0, 0, 1, s3mNote(4, 5, 1, 'A', 2))
                              .cell(0, 0, 2, s3mNote(4, 5, 1))
                              .build(),
                          mixer);
    ASSERT_EQ(player->song.channelCount, 3u);
    playRow(*player);
    EXPECT_EQ(player->speed, 6); // its command did not run either
    EXPECT_EQ(mixer.voices[1].starts, 0u);
    EXPECT_EQ(player->channel(2).period, 1280);
    EXPECT_EQ(player->channel(0).period, 1712);
}

} // namespace
} // namespace tolva::test
