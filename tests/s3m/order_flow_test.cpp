#include "support/S3mBuilder.h"
#include "support/TickCases.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using enum Read;

S3mBuilder song(std::vector<uint8_t> orders = {0}) {
    return S3mBuilder().sample(loopedSample(64, 40)).orders(std::move(orders));
}

std::vector<uint8_t> line(std::vector<S3mCell> rows) {
    return s3mLine(std::move(rows), loopedSample(0x3000, 40)).build();
}

S3mCell c4(char command = 0, uint8_t param = 0) {
    return s3mNote(4, 0, 1, command, param);
}

TEST(S3mOrderFlow, RowOrderSpeedCutDelayRetriggerAndOffset) {
    const S3mCell A1 = s3mFx('A', 1);
    S3mBuilder loops = song();
    loops.cell(0, 8, 0, s3mFx('S', 0xB0)).cell(0, 15, 0, s3mFx('S', 0xB2));
    // C62 leads onto the end marker.
    S3mBuilder markers = song({254, 0, 254, 254, 1, 255, 2}).column(0, {A1});
    markers.cell(1, 0, 0, s3mFx('C', 0x62)).cell(2, 0, 0, A1);
    S3mBuilder b2 = song({0, 1, 2}).column(0, {{}, s3mFx('B', 2)});
    b2.column(1, {{}, s3mFx('C', 0x12)}).cell(2, 13, 0, s3mFx('B', 9));
    S3mBuilder shared = song();
    shared.cell(0, 1, 0, s3mFx('S', 0xB0)).cell(0, 3, 1, s3mFx('S', 0xB1));
    S3mBuilder held = song({0, 1}).cell(0, 1, 0, s3mFx('C', 0)).cell(0, 1, 1, s3mFx('S', 0xB1));
    S3mBuilder endless = song().cell(0, 2, 0, s3mFx('S', 0xB0)).cell(0, 3, 0, s3mFx('S', 0xB1));
    endless.cell(0, 3, 1, s3mFx('S', 0xB1));
    checkTraces(
        {
            {"skips are passed, end markers end", markers.build(), spans({{1, 0, 63}, {4, 0, 0}})},
            {"B2 with C12 beside it, B beyond the order list ends it", b2.build(),
             spans({{0, 0, 1}, {2, 12, 13}})},
            {"SB0, SB2, SB1", loops.cell(0, 20, 0, s3mFx('S', 0xB1)).build(),
             spans({{0, 0, 15}, {0, 8, 15}, {0, 8, 15}, {0, 16, 20}, {0, 16, 63}})},
            // One loop start for all channels: channel 1's SB1 goes back to channel 0's SB0.
            {"SB0 and SB1 on two channels", shared.build(), spans({{0, 0, 3}, {0, 1, 63}})},
            // A break past the last order wraps to the first at its row, until a played one.
            {"C03, C01 on the last order",
             song().cell(0, 0, 0, s3mFx('C', 3)).cell(0, 3, 0, s3mFx('C', 1)).build(),
             spans({{0, 0, 0}, {0, 3, 3}, {0, 1, 3}})},
            // The loop's jump wins over a break on its row; the last pass takes the break.
            {"C00 before SB1", held.build(), spans({{0, 0, 1}, {0, 0, 1}, {1, 0, 63}})},
            // The second SB1 ends the count the first one starts, so the pair jumps back on
            // every pass: the song ends where a jump repeats.
            {"SB1 twice on a row", endless.build(), spans({{0, 0, 3}, {0, 2, 3}})},
        },
        playS3m);
    // A03 on row 0 already makes that row three ticks long: T1F on row 3 starts on tick 9.
    const auto timing =
        song().tempo(200).column(0, {s3mFx('A', 3), s3mFx('A', 0), {}, s3mFx('T', 0x1F)}).build();
    S3mBuilder repeated = song().column(0, {s3mNote(4, 0, 1), s3mFx('D', 2)});
    repeated.column(1, {{}, s3mFx('S', 0xE2)});
    const auto cuts = line({c4('S', 0xC2), c4('S', 0xC0)});
    const auto delays = line({c4('S', 0xD3), S3mCell{254}, c4('S', 0xD6)});
    const auto q = line({c4('Q', 0x32), s3mFx('Q', 0), c4('Q', 0x63)});
    const auto restarted = line({c4('Q', 0x04), s3mFx('D', 0), s3mFx('Q', 0)});
    const auto offsets = line({c4('O', 0x20), s3mFx('Q', 1), s3mNote(4, 0), s3mNote(4, 7), c4(),
                               s3mNote(4, 0), s3mFx('O', 0x10), s3mNote(4, 0)});
    S3mSampleDef looped = loopedSample(0x1000);
    looped.loopStart = 0x100;
    looped.loopEnd = 0x800;
    const auto pastLoop = s3mLine({c4('O', 4), c4('O', 9)}, looped).build();
    S3mBuilder fine = song().cell(0, 0, 0, s3mFx('S', 0x61)).cell(0, 0, 1, s3mFx('S', 0x62));
    checkTicks(
        {
            // Each channel's S6x adds ticks to every repeat: (6 + 1 + 2) x 2 ticks.
            {"S61, S62 and SE1",
             fine.cell(0, 0, 2, s3mFx('S', 0xE1)).build(),
             Position,
             {0, 1},
             17},
            {"5 x 44100 / (2 x 200)", timing, TickInterval, {551}},
            {"A03, A00 changes nothing", timing, Speed, {3, 3, 3, 31}, 0, 3},
            {"SE2 repeats the row's effects", repeated.build(), Volume, {40, 30, 20, 10}, 5, 6},
            {"SC2 stops, SC0 does not", cuts, Active, {1, 1, 0, 0, 0, 0, 1, 1}},
            {"SD3 on tick 3", delays, Active, {0, 0, 0, 1, 1, 1, 0}},
            {"SD6 never at speed 6", delays, Starts, {1, 1, 1}, 5, 6},
            // Every second tick, 4 softer; a Q after a Q goes on counting, its first tick too
            // with the same parameter; a note starts the count again (x 2/3 every third tick).
            {"Q32, Q00, Q63", q, Starts, {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 7, 8, 8, 8}},
            // The note's instrument restores 40: 40 x 2/3 = 26.7 gives 27.
            {"Q32, Q00, Q63", q, Volume, {32, 20, 27}, 5, 6},
            // Two ticks counted when Q04 comes; its first tick does not count: tick 8, 12, 16.
            {"Q03, Q04, Q04",
             line({c4('Q', 0x03), s3mFx('Q', 0x04), s3mFx('Q', 0x04)}),
             Starts,
             {1, 1, 1, 2, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5}},
            {"a first Q restarts its counter",
             restarted,
             Starts,
             {1, 1, 1, 1, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 3, 3}},
            // A cut note, in the note column or by SCx, stays cut.
            {"^^, Q01", line({c4(), S3mCell{254}, s3mFx('Q', 1)}), Starts, {1}, 17},
            {"SC2, Q01", line({c4('S', 0xC2), s3mFx('Q', 1)}), Starts, {1}, 11},
            // The memory holds 04 for D as well: D00 slid the volume down by 4 x 5.
            {"D00 after Q04", restarted, Volume, {20}, 11},
            // From row 2: retriggers kept the start; the instrument on row 4 starts from the top
            // again; an offset without a note starts nothing.
            {"a note alone: last start", offsets, StartOffset, {0x2000, 0x2000, 0, 0, 0, 0}, 17, 6},
            // 0x900 has gone round the loop 0x100-0x800 once: 0x100 + 0x800 mod 0x700.
            {"an offset past the loop end wraps", pastLoop, StartOffset, {0x400, 0x200}, 5, 6},
            {"an offset past the loop end sounds", pastLoop, Active, {1}, 11},
        },
        playS3m);
    // The length scan starts no delayed note.
    RecordingMixer mixer;
    auto player = playS3m(line({c4('S', 0xD2), c4()}), mixer);
    player->silentScan = true;
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 0u);
}

} // namespace
} // namespace tolva::test
