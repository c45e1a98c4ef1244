#include "support/TickCases.h"
#include "support/XmBuilder.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tolva::test {
namespace {

using enum Read;

const XmCell C4 = xmNote(48, 1);

// One note with a sample of the given finetune and relative note.
std::vector<uint8_t> tone(XmCell cell, bool linear, int8_t finetune = 0, int8_t relative = 0) {
    XmSampleDef s = xmSquare();
    s.finetune = finetune;
    s.relativeNote = relative;
    return xmLine({cell}, xmInstrument(s)).linearFrequencies(linear).build();
}

std::vector<uint8_t> line(std::vector<XmCell> rows, bool linear = true) {
    return xmLine(std::move(rows)).linearFrequencies(linear).build();
}

// A C-4 released on row 1, of an instrument with the given auto-vibrato.
std::vector<uint8_t> vib(uint8_t type, uint8_t sweep, uint8_t depth, uint8_t rate) {
    XmInstrumentDef i = xmInstrument();
    i.autoVibrato = {type, sweep, depth, rate};
    return xmLine({C4, xmKeyOff()}, i).build();
}

TEST(XmPitch, PeriodAndStepOfTheFirstTick) {
    // Cell, linear, the sample's finetune and relative note; period and step, 0 when not
    // checked, both 0 for silence.
    const std::tuple<XmCell, bool, int8_t, int8_t, int, int> rows[] = {
        {C4, true, 0, 0, 4608, 12428}, // 8363 x 65536 / 44100
        {C4, false, 0, 0, 1712, 12428},
        {xmNote(60, 1), true, 0, 0, 3840, 24856},
        {xmNote(60, 1), false, 0, 0, 856, 24856},
        {C4, true, 64, 0, 4576, 0}, // 8 sixteenths of a semitone, 4 units each
        {C4, true, -128, 0, 4672, 0},
        {C4, true, -45, 0, 4632, 0},            // -45 >> 3: 6 sixteenths of a semitone down
        {C4, true, 6, 0, 4608, 0},              // below a sixteenth: no change
        {C4, false, 64, 0, 1664, 0},            // step 4 of C: 832 x 32 >> 4
        {C4, false, -128, 0, 1814, 0},          // step -8: 907 x 32 >> 4
        {C4, false, -35, 0, 1743, 0},           // halfway between 875 and 868, x 32 >> 4
        {xmNote(59, 1), false, 127, 0, 859, 0}, // B +15/16: halfway between 431 and 428
        {C4, true, 0, 12, 3840, 0},
        {C4, false, 0, -24, 6848, 0},
        {xmNote(48, 1, 0, 0xE, 0x5F), true, 0, 0, 4552, 0},  // finetune 112
        {xmNote(48, 1, 0, 0xE, 0x50), true, 0, 0, 4672, 0},  // -128
        {xmNote(48, 1, 0, 0xE, 0x5F), false, 0, 0, 1628, 0}, // step 7 of C: 814 x 32 >> 4
        {xmNote(1, 1), false, 0, -2, 27392, 776},            // below the table: the lowest octave
        {xmNote(1, 1), true, 0, -2, 7680, 0},                // a semitone below C-0 plays C-0
        {xmNote(0, 1), true, 0, -2, 0, 0},                   // two do not
        {xmNote(95, 1), true, 0, 127, 0, 0},                 // past A#9: no note at all
    };
    for (const auto& [cell, linear, finetune, relative, period, step] : rows) {
        SCOPED_TRACE(testing::Message() << int(cell.note) << " linear " << linear << " "
                                        << int(finetune) << " " << int(relative));
        RecordingMixer mixer;
        auto player = playXm(tone(cell, linear, finetune, relative), mixer);
        playTick(*player);
        EXPECT_EQ(mixer.voices[0].active, period != 0 || step != 0);
        EXPECT_EQ(period != 0 ? player->channel(0).period : 0, period);
        EXPECT_EQ(step != 0 ? int(mixer.voices[0].step) : 0, step);
    }
    // OpenMPT before 1.22.07.19 kept half steps of a unit, cut toward zero: -45 is 22.
    XmSampleDef s = xmSquare();
    s.finetune = -45;
    RecordingMixer mixer;
    auto early = playXm(xmLine({C4}, xmInstrument(s)).tracker("OpenMPT 1.22.07.18").build(), mixer);
    playTick(*early);
    EXPECT_EQ(early->channel(0).period, 4630);
}

TEST(XmPitch, SlidesArpeggioAndVibratos) {
    const auto up = [](bool linear) { return tone(xmNote(48, 1, 0, 1, 2), linear); };
    const auto floor = tone(xmNote(0, 1, 0, 2, 0xFF), true);
    const auto extra = [](bool linear) {
        XmBuilder b = xmCommands(33, {0x13, 0x10, 0x20, 0x22, 0x20, 0x30});
        return b.linearFrequencies(linear).build();
    };
    const auto portaF1 = line({C4, xmNote(50, 0, 0xF1)});
    const auto apart = line({C4, xmFx(1, 4), xmFx(1, 0), xmFx(2, 0), xmFx(2, 2), xmFx(1, 0)});
    const auto fineApart = xmCommands(0xE, {0x12, 0x10, 0x20, 0x23, 0x20, 0x10}).build();
    const auto kept = line({C4, xmFx(1, 8), xmNote(48, 1, 0, 1, 0)});
    // Sine 235, 180, 97 at positions 20, 24, 28, x 8 x 4 / 128: the period grows first.
    const auto columnVibrato = line({xmNote(48, 1, 0, 4, 0x40), xmVolume(0xB8)});
    const auto e5f = line({C4, xmFx(0xE, 0x5F), xmNote(48)});
    const auto speed18 = xmLine({xmNote(48, 1, 0, 0, 0x37)}).speed(18).build();
    const auto delayed =
        xmLine({xmNote(48, 1, 0, 0, 0x37)}).speed(5).cell(0, 0, 1, xmFx(0xE, 0xE1)).build();
    // 32 x 4 units a tick.
    const auto f1 = line({C4, xmNote(24, 0, 0xF1, 3, 1), xmFx(3, 0)});
    // 3FF reaches E-4 at once, which turns the slide downwards in pitch; the plain C-4 after it
    // leaves the target at E-4, and 308 lands on it at once, as a step down from C-4 passes it.
    const auto target = line({C4, xmNote(52, 1, 0, 3, 0xFF), C4, xmFx(3, 8)});
    // 301 from C-4 heads up to E-4 (4 units a tick); 140 takes it past E-4, and 300, still
    // heading up, lands on it at once.
    const auto passed = line({C4, xmNote(52, 1, 0, 3, 1), xmFx(1, 0x40), xmFx(3, 0)});
    checkTicks(
        {
            {"102 linear: 8/768 octave", up(true), Step, {12518}, 1},
            {"102 Amiga", up(false), Period, {1704}, 1},
            {"102 Amiga: 8363 x 1712 x 65536 / (44100 x 1704)", up(false), Step, {12486}, 1},
            {"2FF from C-0 stops", floor, Period, {12500}, 5},
            {"2FF from C-0 stops", floor, Step, {10}, 5},
            // Chosen by the ticks left: 5 y, 4 x, 3 the note; 17 y, 16 and 15 the note.
            {"037", tone(xmNote(48, 1, 0, 0, 0x37), true), Period, {4608, 4160, 4416, 4608}},
            {"E5F without a note, then a note: the sample's finetune", e5f, Period, {4608}, 12},
            {"037 at speed 18", speed18, Period, {4608, 4160, 4608, 4608, 4160}},
            // The repeat's first tick has 5 left: y, then x.
            {"037 under EE1 at speed 5", delayed, Period, {4160, 4416}, 5},
            {"1xx, 2xx apart; 200 idle", apart, Period, {4528, 4448, 4448, 4488, 4408}, 11, 6},
            {"E1x, E2x apart", fineApart, Period, {4600, 4592, 4592, 4604, 4616, 4608}, 11, 6},
            {"X1x and X2x linear", extra(true), Period, {4605, 4602, 4602, 4604, 4606}, 11, 6},
            {"X1x and X2x Amiga", extra(false), Period, {1709, 1706, 1706, 1708, 1710}, 11, 6},
            {"kept by a note", kept, Period, {4608 - 5 * 32}, 17},
            // Auto-vibrato. Full depth is 511 x 8 / 512 = 7.98 units; the first ticks get 1/3 and
            // 2/3 of it.
            {"sine sweep", vib(0, 2, 8, 64), AutoVibrato, {0, 5, 0, -7, 0, 7, 0, -7}},
            {"sine sweep: 4613, 4601", vib(0, 2, 8, 64), Step, {12428, 12372, 12428, 12506}},
            {"auto square", vib(1, 0, 16, 64), AutoVibrato, {15, 15, -15, -15}},
            // Ramp down: 511, 255, -2, -258 x 64 / 512.
            {"ramp down", vib(2, 0, 64, 64), AutoVibrato, {63, 31, 0, -32}},
            {"7 is ramp up", vib(7, 0, 64, 64), AutoVibrato, {-63, -31, 0, 32}},
            {"auto after key-off", vib(1, 0, 16, 128), AutoVibrato, {15, -15}, 6},
            {"auto of depth 0", vib(0, 0, 0, 64), Step, {12428, 12428, 12428}},
            // Tick 0 plays the position the row before reached.
            {"volume B8 at 440's speed", columnVibrato, VibratoOffset, {58, 58, 45, 24}, 6},
            // The ramp: 0, 64, 128, 192, then -255 x 60 / 128, cut toward zero.
            // Sine 197, 250, 120, -97 at positions 9, 18, 27, 36, x 9 x 4 / 128.
            {"A9, then B9: A9's speed stays",
             line({xmNote(48, 1, 0xA9), xmVolume(0xB9)}),
             VibratoOffset,
             {0, 0, 55, 70, 33, -27},
             6},
            // 20 units a tick from C-4 (4608) to D-4 (4480): 4588, 4568, 4548, 4528, 4508 sound
            // as C-4, C#4 (4544) three times, then D-4, which stays on the next row.
            {"E31: the nearest semitone",
             line({xmNote(48, 1, 0, 0xE, 0x31), xmNote(50, 0, 0, 3, 5)}),
             Step,
             {12428, 13167, 13167, 13167, 13950, 13950},
             7},
            {"E41, then 48F",
             line({xmNote(48, 1, 0, 0xE, 0x41), xmFx(4, 0x8F)}),
             VibratoOffset,
             {0, 0, 30, 60, 90, -119},
             6},
            {"volume F1: 16 x 4 units to D-4", portaF1, Period, {4608, 4544, 4480, 4480}, 6},
            {"volume F1 restarts nothing", portaF1, Starts, {1}, 6},
            // D-4 and sine 97 at depth 32.
            {"F3 beside 448", line({C4, xmNote(50, 0, 0xF3, 4, 0x48)}), Period, {4480 + 24}, 8},
            {"300 slides to the last note given with 3xx", target, Period, {4352, 4352}, 19},
            {"300 keeps the direction its note chose",
             passed,
             Period,
             {4608 - 20 - 1280, 4352},
             18},
            {"F1 beside 301, kept by 300", f1, Period, {4608 + 5 * 128, 4608 + 10 * 128}, 11, 6},
        },
        playXm);
}

} // namespace
} // namespace tolva::test
