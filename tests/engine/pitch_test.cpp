// The pitch: its tables, and effects on it read tick by tick. Note 25 (C-2) is period 428,
// note 13 is 856.
#include "engine/PitchTables.h"
#include "engine/Random.h"
#include "support/TickCases.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tolva::test {
namespace {

using enum Read;

TEST(PitchTables, OneOctaveInSevenHundredSixtyEightSteps) {
    // Each entry is 65536 x 2^(i/768) rounded: 65536, 65595, 65654, ... 130954.
    for (uint32_t i = 0; i < PitchTableLength; ++i)
        EXPECT_NEAR(pitchTable[i], 65536.0 * std::exp2(i / 768.0), 0.5) << i;
}

TEST(PitchTables, AutoVibratoWaveforms) {
    // Sine at 0..255, square at 256, ramp down at 512, ramp up at 768; sine[1] is
    // 511 x sin(2 pi / 256) = 12.54, sine[32] 511 / sqrt(2), ramp down 511 - 1022 / 255 per
    // step and ramp up at 128 130816 / 255 - 511.
    const std::pair<int, int32_t> points[] = {
        {0, 0},      {1, 13},     {32, 361},   {64, 511},  {96, 361},   {128, 0},
        {192, -511}, {255, -13},  {256, 511},  {383, 511}, {384, -511}, {512, 511},
        {513, 507},  {767, -511}, {768, -511}, {896, 2},   {1023, 511}};
    for (const auto& [index, value] : points)
        EXPECT_EQ(autoVibratoWaveforms[index], value) << index;
}

TEST(PitchTables, LinearStepDoublesPerOctave) {
    // 8363 x 65536 / 44100 = 12428; x 92682 / 65536 = 17575.95; / that = 8787. One unit is
    // 1/768 octave: 8363 x 65595 / 44100 = 12439.25. Out of range the step is 0, not garbage.
    const std::pair<int32_t, uint32_t> cases[] = {
        {0, 12428}, {768, 24856},  {-768, 6214},   {384, 17575},   {-384, 8787},
        {1, 12439}, {768 * 40, 0}, {-768 * 40, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}};
    for (const auto& [shift, step] : cases)
        EXPECT_EQ(linearStep(shift, 8363, 44100), step) << shift;
    EXPECT_EQ(linearStep(0, 8363, 0), 0u);
}

using Cells = std::vector<PlacedCell>;
const Cells arpeggio = {{0, 0, note(25, 1, 0x0, 0x37)}, {1, 0, note(25)}};
const Cells portamento = {
    {0, 0, note(25, 1, 0x1, 0x04)}, {1, 0, fx(0x2, 0x03)}, {2, 0, fx(0x1, 0x00)}};
const Cells limits = {{0, 0, note(25, 1, 0x1, 0xFF)}, {1, 0, note(13, 1, 0x2, 0xFF)}};
const Cells slideThenNote = {{0, 0, note(25, 1, 0x1, 0x08)}, {1, 0, note(37, 1)}};
const Cells tonePortamento = {{0, 0, note(25, 1)},   {1, 0, note(13, 0, 0x3, 0x10)},
                              {2, 0, fx(0x3, 0x00)}, {3, 0, fx(0x5, 0x02)},
                              {4, 0, fx(0x3, 0xFF)}, {5, 0, fx(0x5, 0x00)}};
const Cells portaTarget = {{0, 0, note(25, 1)},   {1, 0, note(13, 0, 0x3, 0x10)},
                           {2, 0, note(25, 1)},   {3, 0, fx(0x3, 0x00)},
                           {4, 0, fx(0x3, 0xFF)}, {5, 0, note(25, 1)},
                           {6, 0, fx(0x3, 0x00)}};
const Cells fineSlides = {{0, 0, note(25, 1, 0xE, 0x13)}, {1, 0, fx(0xE, 0x25)}};
const Cells finetunes = {
    {0, 0, note(25, 1)}, {0, 1, note(25, 2)}, {0, 2, note(42, 3)}, {0, 3, note(49, 1)}};
const Cells setFinetune = {
    {0, 0, note(25, 1, 0xE, 0x55)}, {1, 0, note(25)}, {1, 1, note(25, 1)}, {2, 0, note(25, 1)}};
const Cells sineVibrato = {
    {0, 0, note(25, 1, 0x4, 0x44)}, {1, 0, fx(0x4, 0x00)}, {2, 0, fx(0x6, 0x00)}};
const Cells waveforms = {{0, 0, fx(0xE, 0x41)},         {1, 0, note(25, 1, 0x4, 0x84)},
                         {2, 0, fx(0xE, 0x42)},         {3, 0, note(25, 1, 0x4, 0x84)},
                         {4, 0, fx(0xE, 0x46)},         {5, 0, note(25, 1, 0x4, 0x84)},
                         {6, 0, note(25, 1, 0x4, 0x84)}};
const Cells randomWave = {{0, 0, fx(0xE, 0x43)}, {1, 0, note(25, 1, 0x4, 0x1F)}};
const auto seed1 = [](Player& player) { player.random = Random(1); };
const std::vector<ModSampleDef> tuned = {squareSample(64, 64, 0x01), squareSample(64, 64, 0x0F),
                                         squareSample(64, 64, 0x0E)};

TEST(PitchEffects, TickByTick) {
    runTickCases({
        // +3 semitones is period 360, +7 is 285; the next row has no arpeggio.
        {"arpeggio", arpeggio, "t0t0t0t0t0t0t0", Period, {428, 360, 285, 428, 360, 285, 428}},
        // 3546895 Hz x 65536 / (period x 44100).
        {"arpeggio step", arpeggio, "tttttt0t0", Step, {18494, 12315}},
        // 100 without memory slides by nothing.
        {"portamento", portamento, "t0r0r0r0", Period, {428, 408, 423, 423}},
        // ProTracker's slides stop at periods 113 and 856.
        {"porta limits", limits, "r0tt0r0", Period, {113, 856, 856}},
        // 80 a row; 5xy keeps the remembered speed and slides the volume.
        {"tone porta", tonePortamento, "rr0r0r0tt0r0r0", Period, {508, 588, 668, 856, 856, 856}},
        {"tone porta, note", tonePortamento, "rr0", BasePeriod, {428}},
        {"tone porta, starts", tonePortamento, "r0r0", Starts, {1, 1}},
        {"tone porta, volume", tonePortamento, "rrrr0ttrr0", Volume, {54, 44}},
        // A plain note keeps the target (428 + 80 toward 856); once reached it is forgotten.
        {"tone porta target", portaTarget, "rrr0r0r0r0r0", Period, {428, 508, 856, 428, 428}},
        {"new note, slide", slideThenNote, "r0t0", SlideOffset, {-40, 0}},
        {"new note period", slideThenNote, "rt0", Period, {214}},
        {"fine slides", fineSlides, "t0r0t0", Period, {425, 425, 430}},
        // 428 x 2^(-1/96) would cut to 424 and 160 x 2^(2/96) to 162: these are ProTracker's
        // tuned periods; beyond its three octaves the period is scaled: 107 x 2^(-1/96).
        {"sample finetune", finetunes, "t0123", BasePeriod, {425, 431, 163, 106}, tuned},
        // Without an instrument number the channel keeps +5; the sample keeps its own.
        {"set finetune", setFinetune, "t0rt01rt0", BasePeriod, {413, 413, 428, 428}},
        // ProTracker: sine x 4 / 128 toward zero at positions 0, 0, 4, 8, 12, 16, falling in
        // pitch first; a row's first tick plays the plain period; 400 goes on where the row
        // left off; 600 likewise, sliding down 4 by the vibrato memory's low nibble.
        {"sine vibrato",
         sineVibrato,
         "t0t0t0t0t0t0t0t0t0t0t0t0t0t0t0t0t0t0",
         VibratoOffset,
         {0, 0, 3, 5, 7, 7, 0, 7, 5, 3, 0, -3, 0, -5, -7, -7, -7, -5}},
        {"vibrato, volume", sineVibrato, "rrr0", Volume, {44}},
        // Half a cycle on: ramp 4, 69, 134, 199, -255 at positions 0..32 x -4; square -255
        // then 255; the keep bit starts the next notes at positions 40 and 16.
        {"vibrato waveforms",
         waveforms,
         "rt0t0t0t0t0t0rt0t0t0t0t0t0rt0t0t0t0t0t0t0t0t0t0t0t0",
         VibratoOffset,
         {0, 0, -2, -4, -6, 7, 0, 7, 7, 7, 7, -7, 0, -7, -7, -7, 7, 7, 0, 7, 7, -7, -7, -7}},
        // Seed 1 draws 0x7655 and 0x0C22: waveform values -20 and -231, x -15 >> 7.
        {"random vibrato", randomWave, "rtt0t0", VibratoOffset, {2, 27}, {squareSample(64)}, seed1},
        {"vibrato, no note", {{0, 0, fx(0x4, 0x44)}}, "r0", VibratoOffset, {0}},
    });
}

} // namespace
} // namespace tolva::test
