#include "support/FormatPlayers.h"
#include "support/MtmBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// Track 1 holds notes at rows 0 and 3, track 2 one at row 1; the two patterns swap them.
std::vector<uint8_t> swappedTracks() {
    return MtmBuilder()
        .sample(mtmSquare(32))
        .orders({0, 1})
        .cell(1, 0, mtmNote(25, 1))
        .cell(1, 3, mtmNote(37, 1))
        .cell(2, 1, mtmNote(13, 1))
        .pattern(0, {1, 2})
        .pattern(1, {2, 1})
        .build();
}

TEST(MtmTrackPatterns, EachSlotReadsTheTrackItsPatternNames) {
    RecordingMixer mixer;
    auto player = playMtm(swappedTracks(), mixer);
    ASSERT_TRUE(player);
    playRow(*player); // pattern 0, row 0
    EXPECT_EQ(player->channel(0).period, 428);
    EXPECT_EQ(mixer.voices[1].starts, 0u);
    playRow(*player);
    EXPECT_EQ(player->channel(1).period, 856);
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(player->channel(0).period, 214);
    EXPECT_EQ(mixer.voices[0].starts, 2u);
    for (int row = 4; row < 64; ++row)
        playRow(*player);
    playRow(*player); // pattern 1, row 0: track 1 now plays in slot 1
    EXPECT_EQ(player->songPosition, 1u << 8);
    EXPECT_EQ(player->channel(1).period, 428);
    EXPECT_EQ(mixer.voices[0].starts, 2u);
    playRow(*player);
    EXPECT_EQ(player->channel(0).period, 856);
    EXPECT_EQ(mixer.voices[0].starts, 3u);
}

TEST(MtmTrackPatterns, OneTrackMayPlayInSeveralSlots) {
    RecordingMixer mixer;
    auto player = playMtm(MtmBuilder()
                              .channels(3)
                              .sample(mtmSquare(32))
                              .cell(1, 0, mtmNote(25, 1))
                              .pattern(0, {1, 0, 1})
                              .build(),
                          mixer);
    ASSERT_TRUE(player);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 1u);
    EXPECT_EQ(mixer.voices[1].starts, 0u); // slot 1 is empty
    EXPECT_EQ(mixer.voices[2].starts, 1u);
}

TEST(MtmTrackPatterns, InstrumentNumberSpansBothCellBytes) {
    MtmBuilder builder;
    for (int i = 0; i < 18; ++i)
        builder.sample(mtmSquare(16, static_cast<uint8_t>(i)));
    RecordingMixer mixer;
    auto player =
        playMtm(builder.cell(1, 0, mtmNote(25, 17, 0xC, 0x21)).pattern(0, {1}).build(), mixer);
    ASSERT_TRUE(player);
    playRow(*player);
    EXPECT_EQ(player->channel(0).sample, player->sample(16));
    EXPECT_EQ(player->channel(0).volume, 0x21); // the effect nibble and parameter are intact
}

TEST(MtmTrackPatterns, RowsPerTrackSetsThePatternLength) {
    RecordingMixer mixer;
    auto player = playMtm(MtmBuilder()
                              .rowsPerTrack(32)
                              .orders({0, 0})
                              .cell(1, 0, mtmNote(25))
                              .pattern(0, {1})
                              .build(),
                          mixer);
    ASSERT_TRUE(player);
    const auto rows = traceRows(*player, 100);
    ASSERT_EQ(rows.size(), 64u);
    EXPECT_EQ(rows[31], (RowStep{0, 31}));
    EXPECT_EQ(rows[32], (RowStep{1, 0}));
}

TEST(MtmTrackPatterns, PatternBreakRowIsAPlainNumberAndReadsThatTrackRow) {
    RecordingMixer mixer;
    auto player = playMtm(MtmBuilder()
                              .sample(mtmSquare(32))
                              .orders({0, 1})
                              .cell(1, 2, mtmFx(0xD, 0x12))
                              .cell(2, 18, mtmNote(25, 1))
                              .pattern(0, {1})
                              .pattern(1, {2})
                              .build(),
                          mixer);
    ASSERT_TRUE(player);
    const auto rows = traceRows(*player, 4);
    EXPECT_EQ(rows, (std::vector<RowStep>{{0, 0}, {0, 1}, {0, 2}, {1, 18}}));
    EXPECT_EQ(mixer.voices[0].starts, 1u);
    EXPECT_EQ(player->channel(0).period, 428);
}

TEST(MtmTrackPatterns, PatternWithoutTracksPlaysEmptyRowsAndStopsTheLastEffect) {
    RecordingMixer mixer;
    auto player = playMtm(MtmBuilder()
                              .sample(mtmSquare(32, 30))
                              .orders({0, 1})
                              .cell(1, 0, mtmNote(25, 1))
                              .cell(1, 63, mtmFx(0xA, 0x20))
                              .pattern(0, {1})
                              .pattern(1, {})
                              .build(),
                          mixer);
    ASSERT_TRUE(player);
    for (int row = 0; row < 64; ++row)
        playRow(*player);
    EXPECT_EQ(player->channel(0).volume, 30 + 5 * 2);
    for (int row = 0; row < 64; ++row)
        playRow(*player);
    EXPECT_EQ(player->songPosition, (1u << 8) + 63);
    EXPECT_EQ(player->channel(0).volume, 40);
}

TEST(MtmTrackPatterns, NoteWithInstrumentUnderPortamentoAndVolumeSlideRestartsTheSample) {
    RecordingMixer mixer;
    auto player = playMtm(MtmBuilder()
                              .sample(mtmSquare(32))
                              .cell(1, 0, mtmNote(25, 1))
                              .cell(1, 1, mtmNote(30, 1, 0x5, 0x01))
                              .cell(1, 2, mtmNote(35, 1, 0x3, 0x08))
                              .cell(1, 3, mtmNote(40, 0, 0x5, 0x01))
                              .pattern(0, {1})
                              .build(),
                          mixer);
    ASSERT_TRUE(player);
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 2u);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 2u); // plain tone portamento slides
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 2u); // no instrument: slides too
}

} // namespace
} // namespace tolva::test
