#include "support/PlayerHarness.h"
#include "support/S3mBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

S3mBuilder panningSong() {
    S3mBuilder b(2);
    b.panByte(1, 0x2A).sample(loopedSample(64));
    b.cell(0, 0, 0, s3mNote(4, 0, 1)).cell(0, 0, 1, s3mNote(4, 0, 1));
    b.cell(0, 1, 0, s3mFx('X', 0x40)).cell(0, 1, 1, s3mFx('S', 0x8F));
    b.cell(0, 2, 0, s3mFx('X', 0x80)).cell(0, 2, 1, s3mFx('X', 0xA4));
    return b;
}

TEST(S3mPanning, ChannelDefaultsThenPanningCommands) {
    RecordingMixer mixer;
    auto player = playS3m(panningSong().build(), mixer);
    EXPECT_EQ(mixer.voices[0].panning, 0x30); // setting 0: left
    EXPECT_EQ(mixer.voices[1].panning, 0xAA); // pan byte 0x2A: 10 x 17
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].panning, 0x30);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].panning, 0x80); // X runs from 00 (left) to 80 (right)
    EXPECT_EQ(mixer.voices[1].panning, 0xF0);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].panning, 0xFF);
    EXPECT_EQ(mixer.voices[1].panning, 0xF0); // beyond 80: no position
}

TEST(S3mPanning, MonoSongsStayCentred) {
    RecordingMixer mixer;
    auto player = playS3m(panningSong().stereo(false).build(), mixer);
    EXPECT_EQ(mixer.voices[1].panning, 0x80);
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(player->channel(0).panning, 0x80);
    EXPECT_EQ(player->channel(1).panning, 0xF0); // the command is kept, the output centred
    EXPECT_EQ(mixer.voices[0].panning, 0x80);
    EXPECT_EQ(mixer.voices[1].panning, 0x80);
}

} // namespace
} // namespace tolva::test
