#include "support/TickCases.h"
#include "support/XmBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using enum Read;

const XmCell C4 = xmNote(48, 1);

XmBuilder song(uint32_t channels = 1) {
    return XmBuilder(channels).instrument(xmInstrument());
}

TEST(XmPatternFlow, RowOrderAndTimingOfNotes) {
    auto delayed = song(2).rows(0, 4).cell(0, 1, 0, xmFx(0xE, 0x90)).cell(0, 1, 1, xmFx(0xE, 0xE2));
    XmBuilder d15 = song().orders({0, 1, 2}).rows(1, 16).rows(2, 4);
    d15.cell(0, 2, 0, xmFx(0xD, 0x15)).cell(1, 15, 0, xmFx(0xD, 6));
    XmBuilder b01 = song(2).orders({0, 1}).rows(0, 4);
    b01.cell(0, 1, 0, xmFx(0xD, 2)).cell(0, 1, 1, xmFx(0xB, 1));
    XmBuilder lastDelay = song(2).rows(0, 4).column(0, {xmFx(0xE, 0xE3), xmFx(0xE, 0xE2)});
    lastDelay.column(1, {xmFx(0xE, 0xE1), xmFx(0xE, 0xE0)});
    XmBuilder loops = song(2).rows(0, 8);
    loops.cell(0, 3, 0, xmFx(0xE, 0x61)).cell(0, 3, 1, xmFx(0xE, 0x62));
    // E60 on row 1, E61 on row 2; the endless one has E61 on row 3 too, which starts the
    // finished loop again on every pass.
    XmBuilder carried = song().orders({0, 1}).rows(0, 3).rows(1, 3);
    carried.column(0, {{}, xmFx(0xE, 0x60), xmFx(0xE, 0x61)});
    XmBuilder endless =
        song().rows(0, 5).column(0, {{}, xmFx(0xE, 0x60), xmFx(0xE, 0x61), xmFx(0xE, 0x61)});
    XmBuilder fine = song(3).cell(0, 0, 0, xmFx(33, 0x61)).cell(0, 0, 1, xmFx(33, 0x62));
    checkTraces(
        {
            // Each loop starts again on the pass after it finished, until both finish on one
            // pass: counts 1 and 2, then 0 and 1, 1 and 0, 0 and 2, 1 and 1, 0 and 0.
            {"two loops ending on one row", loops.build(),
             spans({{0, 0, 3}, {0, 0, 3}, {0, 0, 3}, {0, 0, 3}, {0, 0, 3}, {0, 0, 3}, {0, 4, 7}})},
            {"the next pattern starts on the row a loop went back to", carried.build(),
             spans({{0, 0, 2}, {0, 1, 2}, {1, 1, 2}})},
            {"a loop that comes back to where it was ends the song", endless.build(),
             spans({{0, 0, 2}, {0, 1, 3}, {0, 1, 2}})},
            {"a later channel's EEx replaces an earlier one's, EE0 too", lastDelay.build(),
             spans({{0, 0, 0}, {0, 0, 3}})},
            {"D15 is decimal, into a shorter pattern", d15.build(),
             spans({{0, 0, 2}, {1, 15, 15}, {2, 0, 3}})},
            {"B01 after D04 of an earlier channel starts at the top", b01.build(),
             spans({{0, 0, 1}, {1, 0, 63}})},
            {"a missing pattern plays 64 empty rows",
             song().orders({0, 7}).rows(0, 2).patternCount(1).build(),
             spans({{0, 0, 1}, {1, 0, 63}})},
        },
        playXm);
    // E90 and fine slides under a pattern delay run once: E1F takes 60 units, X1F 15.
    const auto fineDelayed = [](uint8_t effect) {
        XmBuilder b = song(2).rows(0, 2).cell(0, 0, 0, xmNote(48, 1, 0, effect, 0x1F));
        return b.cell(0, 0, 1, xmFx(0xE, 0xE1)).build();
    };
    // Every 3 ticks counted from the row's first tick; R00 goes on with the running count, the
    // second R43 starts a new one. Each retrigger takes 8 off the volume.
    const auto retrigger =
        song().speed(4).column(0, {C4, xmFx(27, 0x43), xmFx(27, 0), xmFx(27, 0x43)}).build();
    const auto unpacked = xmLine({xmNote(60, 1, 0x30), xmNote(48, 1, 0x20)}).unpacked().build();
    // Rx1 for x = 1..F but 6, each from a fresh volume of 32, retriggers on the row's first
    // tick.
    std::vector<XmCell> factors;
    for (uint8_t x : {1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 13, 14, 15})
        factors.insert(factors.end(), {xmNote(48, 1, 0x30), xmFx(27, uint8_t(x << 4 | 1))});
    const auto ed4 = xmLine({xmNote(48, 1, 0, 0xE, 0xD4)}).build();
    const auto ed2 = song().column(0, {C4, xmFx(0xE, 0xD2)}).build();
    // Four C-4 cells of 3 bytes each (mask, note, instrument), cut to the first and one byte.
    auto cut = song().rows(0, 4).column(0, {C4, C4, C4, C4}).build();
    cut[343] = 4;
    cut[344] = 0;
    cut.erase(cut.begin() + 345 + 4, cut.begin() + 345 + 12);
    checkTicks(
        {
            // Each channel's X6x adds ticks to every repeat: (6 + 1 + 2) x 2 ticks.
            {"X61, X62 and EE1", fine.cell(0, 0, 2, xmFx(0xE, 0xE1)).build(), Position, {0, 1}, 17},
            {"E90 once under EE2", delayed.cell(0, 0, 0, C4).build(), Starts, {2}, 24},
            {"E1F once under EE1", fineDelayed(0xE), Period, {4548, 4548, 4548}, 0, 6},
            {"X1F once under EE1", fineDelayed(33), Period, {4593, 4593, 4593}, 0, 6},
            {"ED4 starts on tick 4", ed4, Starts, {0, 0, 0, 0, 1, 1}},
            {"ED2 alone plays the last note again", ed2, Starts, {1, 1, 2}, 6},
            {"R43, R00, R43", retrigger, Starts, {1, 1, 1, 1, 1, 1, 2, 2, 2, 3, 3, 3, 3, 3, 4, 4}},
            {"R43, R00, R43",
             retrigger,
             Volume,
             {64, 64, 64, 64, 64, 64, 56, 56, 56, 48, 48, 48, 48, 48, 40, 40}},
            {"Rx1: -1, -2, -4, -8, -16, / 2, 0, +1, +2, +4, +8, +16, x 3/2, x 2",
             xmLine(factors).build(),
             Volume,
             {31, 30, 28, 24, 16, 16, 32, 33, 34, 36, 40, 48, 48, 64},
             6,
             12},
            {"unpacked cells read as packed", unpacked, Period, {3840, 4608}, 0, 6},
            {"unpacked cells read as packed", unpacked, Volume, {32, 16}, 0, 6},
            {"pattern data cut short ends in empty cells", cut, Starts, {1}, 23},
            {"pattern data cut short keeps its rows", cut, Position, {0, 1, 2, 3}, 0, 6},
        },
        playXm);
}

} // namespace
} // namespace tolva::test
