#include "formats/s3m/S3mPlayer.h"
#include "support/PlayerHarness.h"
#include "support/S3mBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using Volumes = std::vector<int>;

// The channel volume after each tick of the next row.
Volumes rowVolumes(Player& player, uint32_t channel = 0) {
    Volumes out;
    for (int tick = 0; tick < player.speed; ++tick) {
        playTick(player);
        out.push_back(player.channel(channel).volume);
    }
    return out;
}

S3mBuilder withNote(uint16_t flags, uint8_t volume, S3mCell first) {
    S3mBuilder b;
    b.flags(flags).sample(loopedSample(64));
    first.note = 0x40;
    first.instrument = 1;
    first.volume = volume;
    b.cell(0, 0, 0, first);
    return b;
}

TEST(S3mVolumeSlide, NormalFineAndEveryTickForms) {
    RecordingMixer mixer;
    auto player = playS3m(withNote(0, 32, s3mFx('D', 0x04))
                              .cell(0, 1, 0, s3mFx('D', 0x40))
                              .cell(0, 2, 0, s3mFx('D', 0xF2))
                              .cell(0, 3, 0, s3mFx('D', 0x2F))
                              .cell(0, 4, 0, s3mFx('D', 0x0F))
                              .cell(0, 5, 0, s3mFx('D', 0xF0))
                              .cell(0, 6, 0, s3mFx('D', 0x23))
                              .cell(0, 7, 0, s3mFx('D', 0xFF))
                              .build(),
                          mixer);
    EXPECT_EQ(rowVolumes(*player), (Volumes{32, 28, 24, 20, 16, 12}));
    EXPECT_EQ(rowVolumes(*player), (Volumes{12, 16, 20, 24, 28, 32}));
    EXPECT_EQ(rowVolumes(*player), (Volumes{30, 30, 30, 30, 30, 30}));
    EXPECT_EQ(rowVolumes(*player), (Volumes{32, 32, 32, 32, 32, 32}));
    EXPECT_EQ(rowVolumes(*player), (Volumes{17, 2, 0, 0, 0, 0}));
    EXPECT_EQ(rowVolumes(*player), (Volumes{15, 30, 45, 60, 64, 64}));
    EXPECT_EQ(rowVolumes(*player), (Volumes{64, 61, 58, 55, 52, 49})); // down wins
    EXPECT_EQ(rowVolumes(*player), (Volumes{64, 64, 64, 64, 64, 64})); // fine up by 15
    EXPECT_EQ(mixer.voices[0].volume, 128);
}

TEST(S3mVolumeSlide, FastSlidesAlsoStepOnTheFirstTick) {
    RecordingMixer mixer;
    auto player = playS3m(withNote(S3mFastVolumeSlides, 40, s3mFx('D', 0x04))
                              .cell(0, 1, 0, s3mFx('D', 0xF1))
                              .cell(0, 2, 0, s3mFx('D', 0xF0))
                              .build(),
                          mixer);
    EXPECT_EQ(rowVolumes(*player), (Volumes{36, 32, 28, 24, 20, 16}));
    EXPECT_EQ(rowVolumes(*player), (Volumes{15, 15, 15, 15, 15, 15}));
    EXPECT_EQ(rowVolumes(*player), (Volumes{30, 45, 60, 64, 64, 64})); // one step per tick
}

TEST(S3mVolumeSlide, CombinedSlidesSlideAsDButForTheFastStep) {
    RecordingMixer mixer;
    auto player = playS3m(withNote(S3mFastVolumeSlides, 40, s3mFx('H', 0x44))
                              .cell(0, 1, 0, s3mFx('K', 0x04))
                              .cell(0, 2, 0, s3mFx('K', 0xF1))
                              .cell(0, 3, 0, s3mFx('L', 0x20))
                              .cell(0, 4, 0, s3mFx('L', 0x0F))
                              .build(),
                          mixer);
    playRow(*player);
    EXPECT_EQ(rowVolumes(*player), (Volumes{40, 36, 32, 28, 24, 20}));
    EXPECT_NE(player->channel(0).vibratoOffset, 0);                    // the vibrato went on
    EXPECT_EQ(rowVolumes(*player), (Volumes{19, 19, 19, 19, 19, 19})); // fine step down by 1
    EXPECT_NE(player->channel(0).vibratoOffset, 0); // ... and the vibrato goes on
    EXPECT_EQ(rowVolumes(*player), (Volumes{19, 21, 23, 25, 27, 29}));
    EXPECT_EQ(rowVolumes(*player), (Volumes{14, 0, 0, 0, 0, 0})); // x0F steps at once too
}

TEST(S3mVolumeSlide, OneParameterMemoryForAllCommands) {
    RecordingMixer mixer;
    auto player = playS3m(withNote(0, 40, s3mFx('D', 0x03))
                              .cell(0, 1, 0, s3mFx('D', 0x00))
                              .cell(0, 2, 0, s3mFx('E', 0x00))
                              .cell(0, 3, 0, s3mFx('H', 0x00)) // has its own memory
                              .build(),
                          mixer);
    EXPECT_EQ(rowVolumes(*player).back(), 25);
    EXPECT_EQ(rowVolumes(*player).back(), 10);
    playRow(*player);
    EXPECT_EQ(player->channel(0).slideOffset, 5 * 3 * 4); // E03: down by 3 x 4 per tick
    EXPECT_EQ(player->channel(0).volume, 10);
    playRow(*player);
    EXPECT_EQ(player->channel(0).vibratoMemory, 0);
}

TEST(S3mVolumeSlide, GlobalVolumeScalesEveryChannel) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .globalVolume(48)
                              .sample(loopedSample(64, 40))
                              .cell(0, 0, 0, s3mNote(4, 0, 1))
                              .cell(0, 0, 1, s3mNote(4, 0, 1))
                              .cell(0, 1, 1, s3mFx('V', 0x20))
                              .cell(0, 2, 0, s3mFx('V', 0x50))
                              .build(),
                          mixer);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].volume, 60); // 64 x 48 x 40 >> 11
    playRow(*player);
    EXPECT_EQ(player->globalVolume, 32);
    EXPECT_EQ(mixer.voices[0].volume, 40);
    EXPECT_EQ(mixer.voices[1].volume, 40);
    playRow(*player);
    EXPECT_EQ(player->globalVolume, 64); // limited
    EXPECT_EQ(mixer.voices[0].volume, 80);
}

} // namespace
} // namespace tolva::test
