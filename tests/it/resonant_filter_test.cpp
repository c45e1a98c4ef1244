#include "support/ItHarness.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// Coefficients worked out by hand at 44100 Hz: w = 821.92096 x 2^((c x 512 / 19) / 512),
// g = 10^(-0.1875 r / 20) with the exponent cut to 1/512, d = min((1 - 2g) w / 44100, 2), d2 =
// 44100 (2g - d) / w, e = (44100 / w)^2, then 1 / (1 + d2 + e), 0, (d2 + 2e) / (1 + d2 + e), -e /
// (1 + d2 + e).
struct Expected {
    float c0, c2, c3;
};

void expectCoefficients(ItSong& song, uint32_t voice, Expected x) {
    const float* c = song.it().voices[voice].filterCoefficients;
    EXPECT_TRUE(song.voice(voice).flags & VoiceFiltered);
    EXPECT_NEAR(c[0], x.c0, x.c0 * 2e-4f);
    EXPECT_EQ(c[1], 0.0f);
    EXPECT_NEAR(c[2], x.c2, 2e-4f);
    EXPECT_NEAR(c[3], x.c3, 2e-4f);
}

ItTestCell filter(int param, int note = -1) {
    return {note, note < 0 ? -1 : 1, -1, itCommand('Z'), param};
}

TEST(ItResonantFilter, CutoffAndResonanceFromTheEffect) {
    ItPatternWriter rows;
    rows.cell(0, 0, filter(0x40, 60)).cell(1, 0, filter(0x7F)).cell(2, 0, filter(0x81));
    rows.cell(3, 0, filter(0x85));
    auto song = playIt(itSong(rows, {}));
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).filterCutoff, 64);
    expectCoefficients(*song, 0, {0.0253568f, 1.66023f, -0.685587f});
    playRow(*song->player);
    // Fully open and without resonance: no filtering at all.
    EXPECT_FALSE(song->voice(0).flags & VoiceFiltered);
    playRow(*song->player);
    expectCoefficients(*song, 0, {0.306548f, 0.776972f, -0.0835202f});
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).filterResonance, 5);
    expectCoefficients(*song, 0, {0.332783f, 0.757885f, -0.090668f});
    EXPECT_TRUE(song->sounds(0));
}

TEST(ItResonantFilter, InstrumentSetsTheStartingValues) {
    ItTestInstrument ins;
    ins.filterCutoff = 0x80 | 100;
    ins.filterResonance = 0x80 | 60;
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1});
    auto song = playIt(itSong(rows, {ins}));
    playTick(*song->player);
    expectCoefficients(*song, 0, {0.305853f, 1.29237f, -0.598219f});
}

TEST(ItResonantFilter, FilterEnvelopeScalesTheCutoff) {
    ItTestInstrument ins;
    ins.pitch = {0x01 | 0x80, {{0, 0}}};
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1});
    auto song = playIt(itSong(rows, {ins}));
    playTick(*song->player);
    // The middle of the envelope halves cutoff 127 to 63; the pitch stays at middle C.
    expectCoefficients(*song, 0, {0.0238806f, 1.67076f, -0.694645f});
    EXPECT_EQ(song->voice(0).step, uint32_t{8363ull * 65536 / 44100});
}

TEST(ItResonantFilter, FilterHistoryStartsEmptyWithEachNote) {
    ItPatternWriter rows;
    rows.cell(0, 0, filter(0x40, 60)).cell(1, 0, {62, 1});
    auto song = playIt(itSong(rows, {}));
    playRow(*song->player);
    song->mixer->removeTickListener(song->player.get()); // the test runs the ticks itself
    std::vector<int16_t> out(2 * 256);
    RenderFormat format;
    song->mixer->render(256, out.data(), &format);
    const ItChannel& voice = song->it().voices[0];
    EXPECT_NE(voice.filterOutputState[1], 0.0f);
    playTick(*song->player);
    EXPECT_EQ(voice.filterOutputState[1], 0.0f);
    EXPECT_EQ(voice.filterInputState[1], 0.0f);
}

} // namespace
} // namespace tolva::test
