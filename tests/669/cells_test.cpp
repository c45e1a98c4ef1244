#include "support/Composer669Builder.h"
#include "support/FormatPlayers.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

Composer669Builder withSamples(uint32_t count) {
    Composer669Builder builder;
    for (uint32_t i = 0; i < count; ++i)
        builder.sample(square669(32));
    return builder;
}

TEST(Cells669, NoteCellSetsNoteSampleAndVolumeAndStartsTheSample) {
    RecordingMixer mixer;
    auto player = play669(withSamples(2).cell(0, 0, 3, note669(25, 1, 10)).build(), mixer);
    ASSERT_TRUE(player);
    playRow(*player);
    const Channel& ch = player->channel(3);
    EXPECT_EQ(ch.note, 25u);
    EXPECT_EQ(ch.sample, player->sample(1));
    EXPECT_EQ(ch.volume, 40);
    EXPECT_EQ(ch.period, 428); // no finetune
    EXPECT_EQ(mixer.voices[3].starts, 1u);
    EXPECT_EQ(mixer.voices[3].volume, 80);
    EXPECT_EQ(mixer.voices[3].data, player->sample(1)->data);
}

TEST(Cells669, SampleNumberSpansBothCellBytes) {
    RecordingMixer mixer;
    auto player = play669(withSamples(20).cell(0, 0, 0, note669(25, 17, 15)).build(), mixer);
    ASSERT_TRUE(player);
    playRow(*player);
    EXPECT_EQ(player->channel(0).sample, player->sample(17));
}

TEST(Cells669, VolumeOnlyCellChangesTheVolumeAndNothingElse) {
    RecordingMixer mixer;
    auto player = play669(
        withSamples(1).cell(0, 0, 0, note669(25, 0, 2)).cell(0, 1, 0, volume669(15)).build(),
        mixer);
    ASSERT_TRUE(player);
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(player->channel(0).volume, 60);
    EXPECT_EQ(mixer.voices[0].volume, 120);
    EXPECT_EQ(mixer.voices[0].starts, 1u);
    EXPECT_EQ(player->channel(0).period, 428);
}

TEST(Cells669, UnknownSampleNumberKeepsThePreviousSample) {
    RecordingMixer mixer;
    auto player = play669(
        withSamples(20).cell(0, 0, 0, note669(25, 4, 8)).cell(0, 1, 0, note669(37, 63, 8)).build(),
        mixer);
    ASSERT_TRUE(player);
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(player->channel(0).sample, player->sample(4));
    EXPECT_EQ(mixer.voices[0].starts, 2u);
    EXPECT_EQ(player->channel(0).period, 214);
}

TEST(Cells669, EmptyCellLeavesTheNotePlaying) {
    RecordingMixer mixer;
    auto player = play669(withSamples(1).cell(0, 0, 0, note669(25, 0, 8)).build(), mixer);
    ASSERT_TRUE(player);
    for (int row = 0; row < 10; ++row)
        playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 1u);
    EXPECT_TRUE(mixer.voices[0].active);
    EXPECT_EQ(player->channel(0).volume, 32);
}

TEST(Cells669, NoteUnderTonePortamentoDoesNotRestart) {
    RecordingMixer mixer;
    auto player = play669(withSamples(1)
                              .cell(0, 0, 0, note669(25, 0, 8))
                              .cell(0, 1, 0, note669(37, 0, 8).withEffect(2, 15))
                              .build(),
                          mixer);
    ASSERT_TRUE(player);
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 1u);
    EXPECT_EQ(player->channel(0).note, 37u);
}

TEST(Cells669, RowsOfAMissingPatternDoNotRepeatTheLastEffect) {
    Composer669Builder builder = withSamples(1);
    builder.orders({0, 1}).cell(0, 0, 0, note669(25, 0, 8)).cell(0, 63, 0, effect669(3, 5));
    for (uint32_t row = 0; row < 64; ++row)
        for (uint32_t channel = 0; channel < 8; ++channel)
            builder.cell(1, row, channel, Cell669{{0, 0, 0}}); // a pattern of zero bytes
    RecordingMixer mixer;
    auto player = play669(builder.build(), mixer);
    ASSERT_TRUE(player);
    ASSERT_TRUE(player->isPatternMissing(1));
    for (int row = 0; row < 128; ++row)
        playRow(*player);
    EXPECT_EQ(player->songPosition, (1u << 8) + 63);
    EXPECT_EQ(soundingPeriod(player->channel(0)), 423);
}

} // namespace
} // namespace tolva::test
