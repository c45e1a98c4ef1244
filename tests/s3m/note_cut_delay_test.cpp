#include "support/PlayerHarness.h"
#include "support/S3mBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using Flags = std::vector<int>;

// Whether voice 0 sounds after each tick of the next row.
Flags rowActivity(Player& player, RecordingMixer& mixer) {
    Flags out;
    for (int tick = 0; tick < player.speed; ++tick) {
        playTick(player);
        out.push_back(mixer.voices[0].active ? 1 : 0);
    }
    return out;
}

TEST(S3mNoteCutDelay, TimedCutStopsTheVoiceAndImmediateCutSilencesIt) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64, 40))
                              .cell(0, 0, 0, s3mNote(4, 0, 1, 'S', 0xC2))
                              .cell(0, 1, 0, s3mNote(4, 0, 1, 'S', 0xC0))
                              .build(),
                          mixer);
    EXPECT_EQ(rowActivity(*player, mixer), (Flags{1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(player->channel(0).volume, 40);
    EXPECT_EQ(rowActivity(*player, mixer), (Flags{1, 1, 1, 1, 1, 1}));
    EXPECT_EQ(player->channel(0).volume, 0);
    EXPECT_EQ(mixer.voices[0].volume, 0);
}

TEST(S3mNoteCutDelay, DelayedNoteStartsOnItsTickOrNever) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64, 40))
                              .cell(0, 0, 0, s3mNote(4, 0, 1, 'S', 0xD3))
                              .cell(0, 1, 0, S3mCell{254})
                              .cell(0, 2, 0, s3mNote(4, 0, 1, 'S', 0xD6))
                              .build(),
                          mixer);
    EXPECT_EQ(rowActivity(*player, mixer), (Flags{0, 0, 0, 1, 1, 1}));
    EXPECT_EQ(mixer.voices[0].starts, 1u);
    EXPECT_EQ(rowActivity(*player, mixer), (Flags(6, 0)));
    EXPECT_EQ(rowActivity(*player, mixer), (Flags(6, 0))); // speed 6: tick 6 never comes
    EXPECT_EQ(mixer.voices[0].starts, 1u);
}

TEST(S3mNoteCutDelay, LengthScanTriggersNoDelayedNote) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64, 40))
                              .cell(0, 0, 0, s3mNote(4, 0, 1, 'S', 0xD2))
                              .cell(0, 1, 0, s3mNote(4, 0, 1))
                              .build(),
                          mixer);
    player->silentScan = true;
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 0u);
}

} // namespace
} // namespace tolva::test
