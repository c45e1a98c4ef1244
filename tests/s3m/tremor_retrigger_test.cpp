#include "support/PlayerHarness.h"
#include "support/S3mBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using Values = std::vector<int>;

// The mixer volume of voice 0 after each tick of the next row.
Values rowMixerVolumes(Player& player, RecordingMixer& mixer) {
    Values out;
    for (int tick = 0; tick < player.speed; ++tick) {
        playTick(player);
        out.push_back(mixer.voices[0].volume);
    }
    return out;
}

// Voice starts during each tick of the next row.
Values rowStarts(Player& player, RecordingMixer& mixer) {
    Values out;
    for (int tick = 0; tick < player.speed; ++tick) {
        const uint32_t before = mixer.voices[0].starts;
        playTick(player);
        out.push_back(static_cast<int>(mixer.voices[0].starts - before));
    }
    return out;
}

TEST(S3mTremor, OnAndOffPhasesRestartEachRowWithMemory) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64, 30))
                              .cell(0, 0, 0, s3mNote(4, 0, 1, 'I', 0x21))
                              .cell(0, 1, 0, s3mFx('I', 0x00))
                              .cell(0, 2, 0, s3mFx('I', 0x02))
                              .build(),
                          mixer);
    // Three ticks audible, two muted.
    EXPECT_EQ(rowMixerVolumes(*player, mixer), (Values{60, 60, 60, 0, 0, 60}));
    EXPECT_EQ(rowMixerVolumes(*player, mixer), (Values{60, 60, 60, 0, 0, 60}));
    // One audible, three muted.
    EXPECT_EQ(rowMixerVolumes(*player, mixer), (Values{60, 0, 0, 0, 60, 0}));
    EXPECT_EQ(player->channel(0).volume, 30); // the channel volume itself stays
}

TEST(S3mRetrigger, RestartsTheNoteAndChangesTheVolume) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64, 40))
                              .cell(0, 0, 0, s3mNote(4, 0, 1, 'Q', 0x32))
                              .cell(0, 1, 0, s3mFx('Q', 0x00))
                              .cell(0, 2, 0, s3mNote(4, 0, 1, 'Q', 0x63))
                              .build(),
                          mixer);
    // Every second tick, 4 softer.
    EXPECT_EQ(rowStarts(*player, mixer), (Values{1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(player->channel(0).volume, 32);
    // A Q after a Q keeps the running counter and takes one step at once.
    EXPECT_EQ(rowStarts(*player, mixer), (Values{1, 0, 1, 0, 1, 0}));
    EXPECT_EQ(player->channel(0).volume, 20);
    // A new parameter restarts the counter (x 2/3 every third tick), and after a Q one step
    // still runs at once. The note's instrument restores 40: 40 x 2/3 = 26.7 gives 27, then 18.
    EXPECT_EQ(rowStarts(*player, mixer), (Values{1, 0, 1, 0, 0, 1}));
    EXPECT_EQ(player->channel(0).volume, 18);
}

TEST(S3mRetrigger, AQWithoutAQBeforeRestartsItsCounter) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64, 40))
                              .cell(0, 0, 0, s3mNote(4, 0, 1, 'Q', 0x04))
                              .cell(0, 1, 0, s3mFx('D', 0x00))
                              .cell(0, 2, 0, s3mFx('Q', 0x00))
                              .build(),
                          mixer);
    EXPECT_EQ(rowStarts(*player, mixer), (Values{1, 0, 0, 0, 1, 0}));
    playRow(*player);
    // The memory holds 0x04 for D as well: D04 slid the volume down by 4 x 5.
    EXPECT_EQ(player->channel(0).volume, 20);
    EXPECT_EQ(rowStarts(*player, mixer), (Values{0, 0, 0, 0, 1, 0}));
}

} // namespace
} // namespace tolva::test
