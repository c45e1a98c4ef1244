#include "support/XmBuilder.h"
#include "support/XmHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

std::vector<RowStep> rowsOf(uint32_t order, std::vector<uint32_t> rows) {
    std::vector<RowStep> out;
    for (uint32_t r : rows)
        out.push_back({order, r});
    return out;
}

std::vector<RowStep> joined(std::vector<RowStep> a, const std::vector<RowStep>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class XmPatternFlow : public ::testing::Test {
protected:
    std::vector<RowStep> trace(XmBuilder& b, uint32_t maxRows = 300) {
        player = playXm(b.build(), mixer);
        EXPECT_TRUE(player);
        return player ? traceRows(*player, maxRows) : std::vector<RowStep>{};
    }

    RecordingMixer mixer;
    std::unique_ptr<XmPlayer> player;
};

TEST_F(XmPatternFlow, PatternsHaveTheirOwnRowCounts) {
    XmBuilder b(1);
    b.instrument(xmInstrument()).orders({0, 1}).rows(0, 4).rows(1, 2);
    EXPECT_EQ(trace(b), joined(rowsOf(0, {0, 1, 2, 3}), rowsOf(1, {0, 1})));
}

TEST_F(XmPatternFlow, PatternLoopRepeatsItsRows) {
    XmBuilder b(1);
    b.instrument(xmInstrument())
        .rows(0, 8)
        .cell(0, 1, 0, xmFx(0xE, 0x60))
        .cell(0, 3, 0, xmFx(0xE, 0x62));
    EXPECT_EQ(trace(b), rowsOf(0, {0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(XmPatternFlow, TwoChannelsEndingLoopsOnTheSameRowReplayTheSameOrder) {
    XmBuilder b(2);
    b.instrument(xmInstrument())
        .rows(0, 8)
        .cell(0, 3, 0, xmFx(0xE, 0x61))
        .cell(0, 3, 1, xmFx(0xE, 0x62));
    // Channel 0 finishes its loop on the second pass and starts it again (from row 4) on
    // the third, when channel 1 finishes.
    EXPECT_EQ(trace(b), rowsOf(0, {0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 4, 5, 6, 7}));
}

TEST_F(XmPatternFlow, PatternDelayRepeatsTheRowButNotItsE90) {
    XmBuilder b(2);
    b.instrument(xmInstrument())
        .rows(0, 4)
        .cell(0, 0, 0, xmNote(48, 1))
        .cell(0, 1, 0, xmFx(0xE, 0x90))
        .cell(0, 1, 1, xmFx(0xE, 0xE2));
    EXPECT_EQ(trace(b), rowsOf(0, {0, 1, 1, 1, 2, 3}));
    EXPECT_EQ(mixer.voices[0].starts, 2u); // the note, and E90 once
}

TEST_F(XmPatternFlow, BreakIntoAShorterPattern) {
    XmBuilder b(1);
    b.instrument(xmInstrument())
        .orders({0, 1, 2})
        .rows(1, 16)
        .rows(2, 4)
        .cell(0, 2, 0, xmFx(0xD, 0x15)) // decimal: row 15
        .cell(1, 15, 0, xmFx(0xD, 0x06));
    EXPECT_EQ(trace(b),
              joined(joined(rowsOf(0, {0, 1, 2}), rowsOf(1, {15})), rowsOf(2, {0, 1, 2, 3})));
}

TEST_F(XmPatternFlow, OrderNamingAMissingPatternPlays64EmptyRows) {
    XmBuilder b(1);
    b.instrument(xmInstrument()).orders({0, 7}).rows(0, 2).patternCount(1);
    const auto rows = trace(b);
    ASSERT_EQ(rows.size(), 66u);
    EXPECT_EQ(rows[65], (RowStep{1, 63}));
}

TEST_F(XmPatternFlow, NoteDelayStartsTheNoteOnItsTick) {
    XmBuilder b(1);
    b.instrument(xmInstrument()).cell(0, 0, 0, xmNote(48, 1, 0, 0xE, 0xD4));
    player = playXm(b.build(), mixer);
    ASSERT_TRUE(player);
    std::vector<uint32_t> starts;
    for (int t = 0; t < 6; ++t) {
        playTick(*player);
        starts.push_back(mixer.voices[0].starts);
    }
    EXPECT_EQ(starts, (std::vector<uint32_t>{0, 0, 0, 0, 1, 1}));
}

TEST_F(XmPatternFlow, UnpackedCellsReadLikePackedOnes) {
    for (bool unpacked : {false, true}) {
        XmBuilder b(3);
        b.instrument(xmInstrument())
            .cell(0, 0, 1, xmNote(60, 1, 0x30, 0xC, 0x20))
            .cell(0, 1, 2, xmNote(48, 1));
        if (unpacked)
            b.unpacked();
        player = playXm(b.build(), mixer);
        ASSERT_TRUE(player);
        playRow(*player);
        const XmChannel& ch = player->channels[1];
        EXPECT_EQ(ch.note, 60u);
        EXPECT_EQ(ch.volume, 32);
        EXPECT_EQ(ch.cellEffect, 0xC);
        EXPECT_EQ(player->channels[0].cellNote, XmNoNote);
        playRow(*player);
        EXPECT_EQ(player->channels[2].note, 48u);
    }
}

TEST_F(XmPatternFlow, PatternDataCutShortEndsInEmptyCells) {
    XmBuilder b(1);
    b.instrument(xmInstrument()).rows(0, 4);
    for (uint32_t row = 0; row < 4; ++row)
        b.cell(0, row, 0, xmNote(48, 1));
    std::vector<uint8_t> bytes = b.build();
    // Each cell is 3 bytes (mask, note, instrument); keep the first row and one more byte.
    bytes[343] = 4;
    bytes[344] = 0;
    bytes.erase(bytes.begin() + 345 + 4, bytes.begin() + 345 + 12);
    player = playXm(bytes, mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(traceRows(*player, 10).size(), 4u);
    EXPECT_EQ(mixer.voices[0].starts, 1u);
}

} // namespace
} // namespace tolva::test
