#include "support/ItHarness.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolva::test {
namespace {

constexpr int S = itCommand('S');

std::vector<uint32_t> rowsPlayed(Player& player, uint32_t count) {
    std::vector<uint32_t> rows;
    for (const RowStep& step : traceRows(player, count))
        rows.push_back(step.order * 100 + step.row);
    return rows;
}

TEST(ItPatternLoop, SB0MarksAndSBxRepeats) {
    ItPatternWriter rows(8);
    rows.cell(2, 1, {-1, -1, -1, S, 0xB0}).cell(4, 1, {-1, -1, -1, S, 0xB2});
    auto song = playIt(itSong(rows, {}));
    EXPECT_EQ(rowsPlayed(*song->player, 12),
              (std::vector<uint32_t>{0, 1, 2, 3, 4, 2, 3, 4, 2, 3, 4, 5}));
}

// The channel never plays a note, so in instrument mode it owns no voice all along.
TEST(ItPatternLoop, ANewPatternStartsTheLoopAtItsTopForChannelsWithoutAVoice) {
    ItPatternWriter first(4);
    first.cell(2, 3, {-1, -1, -1, S, 0xB0});
    ItPatternWriter second(4);
    second.cell(1, 3, {-1, -1, -1, S, 0xB1});
    ItFileBuilder b = itSong(first, {ItTestInstrument{}});
    b.patterns.push_back(second.pattern());
    b.orders = {0, 1, 255};
    auto song = playIt(b);
    EXPECT_EQ(rowsPlayed(*song->player, 8),
              (std::vector<uint32_t>{0, 1, 2, 3, 100, 101, 100, 101}));
}

TEST(ItPatternDelay, S6xAndSExRepeatTheRow) {
    for (int param : {0x62, 0xE2}) {
        ItPatternWriter rows(4);
        rows.cell(1, 0, {-1, -1, -1, S, param});
        auto song = playIt(itSong(rows, {}));
        EXPECT_EQ(rowsPlayed(*song->player, 6), (std::vector<uint32_t>{0, 1, 1, 1, 2, 3})) << param;
    }
}

TEST(ItNoteCut, SCxStopsTheVoiceOnTickX) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1, -1, S, 0xC2});
    auto song = playIt(itSong(rows, {}));
    playTick(*song->player);
    playTick(*song->player);
    EXPECT_TRUE(song->sounds(0));
    playTick(*song->player);
    EXPECT_FALSE(song->sounds(0));
}

TEST(ItNoteDelay, SDxStartsTheNoteOnTickXOnItsNewVoice) {
    ItTestInstrument ins;
    ins.newNoteAction = ItActionContinue;
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1}).cell(1, 0, {64, 1, 32, S, 0xD2});
    auto song = playIt(itSong(rows, {ins}));
    playRow(*song->player);
    playTick(*song->player);
    playTick(*song->player);
    EXPECT_EQ(song->it().voiceOf(0), 0);
    EXPECT_EQ(song->channel(0).note, 60u);
    playTick(*song->player);
    EXPECT_EQ(song->it().voiceOf(0), 1);
    EXPECT_EQ(song->channel(0).note, 64u);
    EXPECT_EQ(song->channel(0).volume, 32);
    EXPECT_TRUE(song->sounds(0));
    EXPECT_TRUE(song->sounds(1));
}

TEST(ItSurround, S91CentresTheVoiceAndMarksItSurround) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1, -1, itCommand('X'), 0x20}).cell(1, 0, {-1, -1, -1, S, 0x91});
    auto song = playIt(itSong(rows, {}));
    playRow(*song->player);
    EXPECT_EQ(song->voice(0).targetPanning, 0x20);
    EXPECT_FALSE(song->voice(0).flags & VoiceSurround);
    playTick(*song->player);
    EXPECT_EQ(song->voice(0).targetPanning, 128);
    EXPECT_TRUE(song->voice(0).flags & VoiceSurround);
}

TEST(ItSampleOffset, HighPartFromSAxAndOffsetsPastTheEnd) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1, -1, S, 0xA1}).cell(1, 0, {60, 1, -1, itCommand('O'), 0x10});
    rows.cell(2, 0, {60, 1, -1, S, 0xA2});
    for (bool oldEffects : {false, true}) {
        ItFileBuilder b = itSong(rows, {});
        b.samples[0] = rampSample(70000, false);
        if (oldEffects)
            b.flags |= 0x10;
        auto song = playIt(b);
        const uint8_t* data = song->it().module.samples[0].data;
        playTick(*song->player);
        EXPECT_EQ(song->voice(0).position, data + 0x10000);
        playRow(*song->player);
        playTick(*song->player);
        // The high offset went with the note that used it.
        EXPECT_EQ(song->voice(0).position, data + 0x1000);
        playRow(*song->player);
        playTick(*song->player);
        // 0x20000 frames lie past the end: the start, or the end with old effects.
        EXPECT_EQ(song->voice(0).position, data + (oldEffects ? 70000 : 0));
    }
}

TEST(ItWaveforms, S3xS4xAndS5xChooseTheTables) {
    ItPatternWriter rows;
    rows.cell(0, 0, {-1, -1, -1, S, 0x31}).cell(1, 0, {-1, -1, -1, S, 0x42});
    rows.cell(2, 0, {-1, -1, -1, S, 0x53});
    auto song = playIt(itSong(rows, {}));
    playRow(*song->player);
    playRow(*song->player);
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).vibratoTable, rampTable);
    EXPECT_EQ(song->channel(0).tremoloTable, squareTable);
    EXPECT_EQ(song->channel(0).panbrelloTable, randomTable);
}

} // namespace
} // namespace tolva::test
