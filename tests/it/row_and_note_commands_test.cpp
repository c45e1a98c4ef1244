#include "support/ItHarness.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

std::vector<uint32_t> rowsPlayed(const ItFileBuilder& b, uint32_t count) {
    std::vector<uint32_t> rows;
    for (const RowStep& step : traceRows(*playIt(b)->player, count))
        rows.push_back(step.order * 100 + step.row);
    return rows;
}

TEST(ItRowAndNoteCommands, LoopsDelaysTempoSpeedNoteDelaysOffsetsAndWaveforms) {
    EXPECT_EQ(rowsPlayed(itSong(", SE2", {}, 4), 6), (std::vector<uint32_t>{0, 1, 1, 1, 2, 3}));
    // Every channel's S6x adds its ticks to the row, on each repeat too: at speed 3, row 1
    // plays twice for 3 + 1 + 2 ticks.
    auto row = [](ItSong& s) { return Ints{int(s.player->currentRow())}; };
    EXPECT_EQ(playIt(itSong(", S61 | S62 | SE1", {}, 4))->trace(16, false, row)[14], Ints{1});
    EXPECT_EQ(playIt(itSong(", S61 | S62 | SE1", {}, 4))->trace(16, false, row)[15], Ints{2});
    // The first channel's row delay stands, SE0 too.
    EXPECT_EQ(rowsPlayed(itSong(", SE0 | SE2, SE1 | SE3", {}, 4), 5),
              (std::vector<uint32_t>{0, 1, 2, 2, 3}));
    // A new pattern keeps the loop start, also for a channel that never played a note and so,
    // in instrument mode, owns no voice.
    ItFileBuilder b = itSong(", , | | | SB0", {{}}, 4);
    b.patterns.push_back(itPattern(itRows(", | | | SB1"), 4));
    b.orders = {0, 1, 255};
    EXPECT_EQ(rowsPlayed(b, 8), (std::vector<uint32_t>{0, 1, 2, 3, 100, 101, 102, 103}));
    // A loop that ended on a pattern's last row leaves its start past the end: the next loop
    // jump goes on to the next order.
    b = itSong("SB0, SB1", {}, 2);
    b.patterns.push_back(itPattern(itRows("SB1"), 2));
    b.patterns.push_back(itPattern({}, 2));
    b.orders = {0, 1, 2, 255};
    EXPECT_EQ(rowsPlayed(b, 7), (std::vector<uint32_t>{0, 1, 0, 1, 100, 200, 201}));
    // A break is taken while a loop counts, on a row where no loop jumps back: the second
    // channel's loop, after it ended, starts again on row 1 and jumps on to row 2.
    b = itSong("SB0, | SB1, SB1, C02", {}, 4);
    b.patterns.push_back(itPattern({}, 4));
    b.orders = {0, 1, 255};
    EXPECT_EQ(rowsPlayed(b, 11), (std::vector<uint32_t>{0, 1, 0, 1, 2, 0, 1, 2, 3, 102, 103}));
    // A position is its row with the running loops' counts: a row played in other counts goes
    // on, in the same ones ends the song. A jump beats a loop of an earlier channel, whose count
    // runs on (in ModPlug's files the loop wins).
    struct Case {
        const char* rows;
        uint8_t secondOrder;
        bool modPlug;
        std::vector<uint32_t> played;
    };
    for (const auto& [rows, secondOrder, modPlug, played] : std::vector<Case>{
             {"C03, SB1, SB0, C01", 255, false, {0, 3, 1, 0, 3, 1, 2}},
             {"SB0, SB2 | B01", 1, false, {0, 1, 100, 0, 1, 100, 0, 1, 100}},
             {"SB0, SB2 | B01", 1, true, {0, 1, 0, 1, 0, 1, 100}},
         }) {
        b = itSong(rows, {}, 4);
        b.patterns.push_back(itPattern({}, 1));
        b.orders = {0, secondOrder, 255};
        b.createdWith = 0x217;
        b.compatibleWith = modPlug ? 0x200 : 0x214;
        EXPECT_EQ(rowsPlayed(b, 20), played) << rows << modPlug;
    }
    // ModPlug runs one loop at a time: row 3's second loop waits for the first to end, and an
    // ended loop keeps its start row for the next pattern's loop. Impulse Tracker runs both at
    // once and moves an ended loop's start past its row.
    for (const bool modPlug : {false, true}) {
        b = itSong(", SB0, , SB1 | SB2", {}, 4);
        b.patterns.push_back(itPattern(itRows(", , SB1"), 4));
        b.orders = {0, 1, 255};
        b.createdWith = 0x217;
        b.compatibleWith = modPlug ? 0x200 : 0x214;
        const std::vector<uint32_t> played =
            modPlug
                ? std::vector<uint32_t>{0, 1, 2, 3, 1,   2,   3,   0,   1,   2,  3,
                                        0, 1, 2, 3, 100, 101, 102, 101, 102, 103}
                : std::vector<uint32_t>{0, 1, 2, 3, 0, 1, 2, 3, 0, 1, 2, 3, 1, 2, 3, 100, 101, 102};
        EXPECT_EQ(rowsPlayed(b, 30), played) << modPlug;
    }
    // A break to a row past the end of its own pattern but within the next one.
    b = itSong(", C03", {}, 2);
    b.patterns.push_back(itPattern({}, 4));
    b.orders = {0, 1, 255};
    EXPECT_EQ(rowsPlayed(b, 3), (std::vector<uint32_t>{0, 1, 103}));
    auto song = playIt(itSong("T05, T00, T15, T20, T01, TFF, T1F"));
    EXPECT_EQ(song->trace(7, true, [](ItSong& s) { return Ints{s.player->tempo}; }),
              (std::vector<Ints>{{115}, {105}, {115}, {32}, {32}, {255}, {255}}));
    song = playIt(itSong("T0A"));
    song->ticks(2);
    EXPECT_EQ(song->player->tempo, 115);
    std::vector<int16_t> out(2 * 4096);
    RenderFormat format;
    const uint32_t before = song->mixer->framesRendered();
    song->player->renderFrames(5 * 44100 / (2 * 115), out.data(), &format);
    // One tick of 958 frames later the slide has gone on once more.
    EXPECT_EQ((Ints{song->player->tempo, int(song->mixer->framesRendered() - before)}),
              (Ints{105, 958}));
    song = playIt(itSong("A05, A00"));
    song->ticks();
    uint32_t ticks = 1;
    while (song->player->onTick(0, 0) && song->player->songPosition == 0)
        ++ticks;
    EXPECT_EQ(ticks, 5u);
    song->rows();
    EXPECT_EQ(song->player->speed, 5);
    song = playIt(itSong("60 1, 64 1 v32 SD2", {{.newNoteAction = ItActionContinue}}));
    song->rows();
    auto delayed = [](ItSong& s) {
        return Ints{s.it().voiceOf(0), int(s.channel(0).note), s.sounds(1)};
    };
    EXPECT_EQ(song->trace(3, false, delayed),
              (std::vector<Ints>{{0, 60, 0}, {0, 60, 0}, {1, 64, 1}}));
    EXPECT_EQ((Ints{song->channel(0).volume, song->sounds(0)}), (Ints{32, 1}));
    auto offset = [](ItSong& s) {
        return Ints{int(s.voice(0).position - s.it().module.samples[0].data)};
    };
    for (bool oldEffects : {false, true}) {
        ItFileBuilder b = itSong("60 1 SA1, 60 1 O10, 60 1, 60 v193 O00, 60 1 SA2, 60 1 O00");
        b.samples[0] = rampSample(70000, false);
        b.flags |= oldEffects ? 0x10 : 0;
        // SAx moves no note, it is the 64 KiB step of every later O; a note sliding to by the
        // volume column jumps to the offset. 0x21000 frames lie past the end: the start, or the
        // end with old effects.
        EXPECT_EQ(
            playIt(b)->trace(6, true, offset),
            (std::vector<Ints>{{0}, {0x11000}, {0}, {0x11000}, {0}, {oldEffects ? 70000 : 0}}))
            << oldEffects;
    }
    // S9F plays backwards, a note starting on its row from its last frame; S9E forwards again;
    // the next note forwards from its start.
    auto direction = [](ItSong& s) {
        return Ints{int(s.voice(0).position - s.it().module.samples[0].data),
                    (s.voice(0).flags & VoiceBackwards) != 0};
    };
    EXPECT_EQ(playIt(itSong("60 1 S9F, S9E, S9F, 60 1"))->trace(4, true, direction),
              (std::vector<Ints>{{999, 1}, {999, 0}, {999, 1}, {0, 0}}));
    // S3x, S4x and S5x choose the waveforms of vibrato, tremolo and panbrello, Impulse
    // Tracker's own: the ramp falls from the top, the square's second half is the middle.
    song = playIt(itSong("S31, S42, S53"));
    song->rows(3);
    const ItChannel& c = song->channel(0);
    EXPECT_EQ((Ints{c.vibratoTable[0], c.vibratoTable[63], c.tremoloTable[31], c.tremoloTable[32],
                    c.panbrelloTable == randomTable}),
              (Ints{256, -248, 256, 0, 1}));
}

} // namespace
} // namespace tolva::test
