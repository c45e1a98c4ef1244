#include "support/ItHarness.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// Channel 0's note on row 0 with these effects, in a song with these header flags.
ItFileBuilder notes(std::vector<ItPlacedCell> cells, uint16_t flags = ItSampleSong) {
    ItFileBuilder b = itSong(cells);
    b.flags = flags;
    return b;
}

Ints slide(ItSong& s) {
    return {s.channel(0).slideOffset};
}

TEST(ItNotePitch, LinearSlidesCountFromMiddleCAndAmigaPeriodsFromTheRate) {
    const struct {
        int note;
        uint32_t rate;
        uint16_t flags;
        int period;
        uint32_t step;
    } cases[] = {
        {72, 22050, ItSampleSong, 7680 - 64 * 72, 65536},
        {60, 8363, ItSampleSong, 7680 - 64 * 60, 8363ull * 65536 / 44100},
        {48, 44100, ItSampleSong, 7680 - 64 * 48, 32768},
        {60, 8363, 0x01, 1712, 938282582016ull / (44100 * 1712)},
        {72, 16726, 0x01, 1712 * 267616 / (16726 << 6), 938282582016ull / (44100 * 428)},
    };
    for (const auto& c : cases) {
        ItFileBuilder b = notes({{0, 0, {c.note, 1}}}, c.flags);
        b.samples[0].rate = c.rate;
        auto song = playIt(b);
        song->ticks();
        EXPECT_EQ(song->channel(0).period, c.period) << c.note;
        EXPECT_NEAR(song->voice(0).step, c.step, 1) << c.note;
    }
}

// Depth 64 is reached after 65 ticks; from tick 72 on the ticks read positions 0, 64, 128 and
// 192 of the waveform, an offset of entry x 64 >> 9. A rising offset raises the pitch in both
// slide modes.
TEST(ItNotePitch, SampleVibratoSweepsInThenFollowsItsWaveform) {
    const Ints expected[3] = {
        {0, 63, 0, -64},   // sine: 0, 511, 0, -511
        {63, 31, -1, -33}, // ramp down: 511 - i x 1022 / 255
        {63, 63, 0, 0},    // square, on one side only
    };
    for (uint16_t flags : {ItSampleSong, uint16_t{0x01}})
        for (uint8_t waveform = 0; waveform < 3; ++waveform) {
            ItFileBuilder b = notes({{0, 0, {60, 1}}}, flags);
            b.speed = 255;
            const uint8_t vibrato[] = {64, 64, 255, waveform}; // speed, depth, rate, waveform
            std::copy(std::begin(vibrato), std::end(vibrato), b.samples[0].vibrato);
            auto song = playIt(b);
            song->ticks();
            EXPECT_EQ(song->channel(0).autoVibratoSweep, 255u);
            song->ticks(70);
            EXPECT_EQ(song->channel(0).autoVibratoSweep >> 8, 64u);
            song->ticks();
            std::vector<Ints> got = song->trace(4, false, [](ItSong& s) {
                return Ints{s.channel(0).autoVibratoOffset, static_cast<int>(s.voice(0).step)};
            });
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(got[i][0], expected[waveform][i]) << int{waveform} << " " << i;
            EXPECT_TRUE(waveform || (got[1][1] > got[0][1] && got[3][1] < got[0][1])) << flags;
        }
}

TEST(ItVibrato, MovesOnTheRowAndHalfAsDeepUnlessOldEffectsAndFineIsAQuarter) {
    // Sine entries 0, 180 and 255 times a depth of 15 x -4, over 256 (128 with old effects),
    // rounded down; old effects start a tick later. Fine vibrato does not move on the row.
    const struct {
        char effect;
        uint16_t flags;
        Ints offsets;
    } cases[] = {
        {'H', ItSampleSong, {0, -43, -60}},
        {'H', ItSampleSong | 0x10, {0, 0, -85}},
        {'U', ItSampleSong, {0, 0, (180 * -15) >> 8}},
    };
    for (const auto& c : cases) {
        auto song = playIt(notes({{0, 0, {60, 1, -1, c.effect, 0x8F}}}, c.flags));
        std::vector<Ints> got =
            song->trace(3, false, [](ItSong& s) { return Ints{s.channel(0).vibratoOffset}; });
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(got[i][0], c.offsets[i]) << c.effect << " " << c.flags;
    }
}

// F04 gives G a speed of 4 (16 units a tick), and G20 gives F00 a speed of 2, only when the
// memory is shared: without the compatibility flag.
TEST(ItPortamentoMemory, GSharesTheMemoryOfEAndFUnlessTheCompatibilityFlagIsSet) {
    for (bool shared : {false, true}) {
        const uint16_t flags = shared ? ItSampleSong : ItSampleSong | 0x20;
        auto song =
            playIt(notes({{0, 0, {60, 1, -1, 'F', 4}}, {1, 0, {72, -1, -1, 'G', 0}}}, flags));
        EXPECT_EQ(song->trace(2, true, slide), (std::vector<Ints>{{-32}, {shared ? -64 : -32}}));
        song = playIt(
            notes({{0, 0, {60, 1}}, {1, 0, {62, -1, -1, 'G', 2}}, {2, 0, fx('F', 0)}}, flags));
        EXPECT_EQ(song->trace(3, true, slide),
                  (std::vector<Ints>{{0}, {-16}, {shared ? -32 : -16}}));
    }
    // E and F share one memory.
    auto song = playIt(notes({{0, 0, {60, 1, -1, 'F', 4}},
                              {1, 0, fx('E', 0)},
                              {2, 0, fx('E', 0xF2)},
                              {3, 0, fx('F', 0xE3)}}));
    EXPECT_EQ(song->trace(4, true, slide), (std::vector<Ints>{{-32}, {0}, {8}, {5}}));
}

TEST(ItPortamento, ToneSlideKeepsTheSampleGoingButTakesTheInstrument) {
    ItTestInstrument ins;
    ins.defaultPan = 0;
    ins.volume = {0x01, {{0, 32}}};
    auto song = playIt(itSong({{0, 0, {60, 2}}, {1, 0, {64, 1, -1, 'G', 8}}}, {ins, {}}));
    song->rows();
    const uint32_t starts = song->voice(0).flags;
    song->ticks();
    EXPECT_EQ(song->it().voiceOf(0), 0);
    EXPECT_EQ(song->voice(0).flags, starts);
    EXPECT_EQ(song->channel(0).panning, 0);
    EXPECT_EQ(song->channel(0).volumeEnvelopeState.value, 32 * 256);
    EXPECT_EQ(song->channel(0).slideOffset, 0);
    EXPECT_EQ(song->trace(2, false, slide), (std::vector<Ints>{{-32}, {-64}}));
}

// Nothing to slide from on a channel that never sounded (1) or whose note was cut (0): the
// note starts at its own pitch, whichever column asks for the slide.
TEST(ItPortamento, OnASilentChannelTheNoteStarts) {
    for (bool instruments : {false, true})
        for (ItTestCell slide : {ItTestCell{72, 1, -1, 'G', 16}, ItTestCell{72, 1, 196}}) {
            auto song = playIt(itSong(
                {{0, 0, {60, 1}}, {1, 0, {254}}, {2, 0, slide}, {2, 1, slide}},
                instruments ? std::vector{ItTestInstrument{}} : std::vector<ItTestInstrument>{}));
            song->ticks(8);
            for (uint32_t k : {0u, 1u}) {
                ASSERT_GE(song->it().voiceOf(k), 0);
                EXPECT_TRUE(song->sounds(static_cast<uint32_t>(song->it().voiceOf(k))));
                EXPECT_EQ(song->channel(k).period + song->channel(k).slideOffset, 7680 - 64 * 72);
            }
        }
}

// Volume column 117: pitch slide up 2 (F08, 32 units a tick), beside a volume slide down.
TEST(ItPortamento, VolumeColumnSlidesRunBesideTheEffect) {
    auto song = playIt(
        itSong({{0, 0, {60, 1}}, {1, 0, {-1, -1, 117, 'D', 0x02}}, {2, 0, {-1, -1, 115, 'D', 0}}}));
    song->rows();
    EXPECT_EQ(song->trace(2, true,
                          [](ItSong& s) {
                              return Ints{s.channel(0).slideOffset, s.channel(0).volume};
                          }),
              (std::vector<Ints>{{-64, 60}, {-128, 56}}));
}

} // namespace
} // namespace tolva::test
