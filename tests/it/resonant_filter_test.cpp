#include "support/ItHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// Coefficients worked out by hand at 44100 Hz: w = 821.92096 x 2^((c x 512 / 19) / 512),
// g = 10^(-0.1875 r / 20) with the exponent cut to 1/512, d = min((1 - 2g) w / 44100, 2), d2 =
// 44100 (2g - d) / w, e = (44100 / w)^2, then 1 / (1 + d2 + e), 0, (d2 + 2e) / (1 + d2 + e), -e /
// (1 + d2 + e).
void expectCoefficients(ItSong& song, float c0, float c2, float c3) {
    const float* c = song.it().voices[0].filterCoefficients;
    EXPECT_TRUE(song.voice(0).flags & VoiceFiltered);
    EXPECT_NEAR(c[0], c0, c0 * 2e-4f);
    EXPECT_EQ(c[1], 0.0f);
    EXPECT_NEAR(c[2], c2, 2e-4f);
    EXPECT_NEAR(c[3], c3, 2e-4f);
}

TEST(ItResonantFilter, CutoffAndResonanceFromTheEffect) {
    auto song = playIt(itSong({{0, 0, {60, 1, -1, 'Z', 0x40}},
                               {1, 0, fx('Z', 0x7F)},
                               {2, 0, fx('Z', 0x81)},
                               {3, 0, fx('Z', 0x85)}}));
    song->rows();
    EXPECT_EQ(song->channel(0).filterCutoff, 64);
    expectCoefficients(*song, 0.0253568f, 1.66023f, -0.685587f);
    song->rows();
    // Fully open and without resonance: no filtering at all.
    EXPECT_FALSE(song->voice(0).flags & VoiceFiltered);
    song->rows();
    expectCoefficients(*song, 0.306548f, 0.776972f, -0.0835202f);
    song->rows();
    EXPECT_EQ(song->channel(0).filterResonance, 5);
    expectCoefficients(*song, 0.332783f, 0.757885f, -0.090668f);
}

TEST(ItResonantFilter, InstrumentSetsTheStartingValuesAndTheEnvelopeScalesTheCutoff) {
    ItTestInstrument ins;
    ins.filterCutoff = 0x80 | 100;
    ins.filterResonance = 0x80 | 60;
    auto song = playIt(itSong({{0, 0, {60, 1}}}, {ins}));
    song->ticks();
    expectCoefficients(*song, 0.305853f, 1.29237f, -0.598219f);
    ItTestInstrument enveloped;
    enveloped.pitch = {0x01 | 0x80, {{0, 0}}};
    song = playIt(itSong({{0, 0, {60, 1}}}, {enveloped}));
    song->ticks();
    // The middle of the envelope halves cutoff 127 to 63; the pitch stays at middle C.
    expectCoefficients(*song, 0.0238806f, 1.67076f, -0.694645f);
    EXPECT_EQ(song->voice(0).step, uint32_t{8363ull * 65536 / 44100});
}

TEST(ItResonantFilter, FilterHistoryStartsEmptyWithEachNote) {
    auto song = playIt(itSong({{0, 0, {60, 1, -1, 'Z', 0x40}}, {1, 0, {62, 1}}}));
    song->rows();
    song->mixer->removeTickListener(song->player.get()); // the test runs the ticks itself
    std::vector<int16_t> out(2 * 256);
    RenderFormat format;
    song->mixer->render(256, out.data(), &format);
    const ItChannel& voice = song->it().voices[0];
    EXPECT_NE(voice.filterOutputState[1], 0.0f);
    song->ticks();
    EXPECT_EQ(voice.filterOutputState[1], 0.0f);
    EXPECT_EQ(voice.filterInputState[1], 0.0f);
}

} // namespace
} // namespace tolva::test
