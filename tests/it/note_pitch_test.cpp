#include "support/ItHarness.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tolva::test {
namespace {

std::unique_ptr<ItSong> noteOf(int note, uint32_t rate, uint16_t flags) {
    ItPatternWriter rows;
    rows.cell(0, 0, {note, 1});
    ItFileBuilder b = itSong(rows, {});
    b.flags = flags;
    b.samples[0].rate = rate;
    auto song = playIt(b);
    playTick(*song->player);
    return song;
}

TEST(ItNotePitch, LinearSlidesCountFromMiddleC) {
    EXPECT_EQ(noteOf(72, 22050, ItSampleSong)->voice(0).step, 65536u);
    EXPECT_EQ(noteOf(60, 8363, ItSampleSong)->channel(0).period, 7680 - 64 * 60);
    EXPECT_EQ(noteOf(48, 44100, ItSampleSong)->voice(0).step, 32768u);
}

TEST(ItNotePitch, AmigaPeriodsComeFromTheSampleRate) {
    auto middle = noteOf(60, 8363, 0x01);
    EXPECT_EQ(middle->channel(0).period, 1712);
    EXPECT_EQ(middle->voice(0).step, 938282582016ull / (44100 * 1712));
    auto octave = noteOf(72, 16726, 0x01);
    EXPECT_EQ(octave->channel(0).period, 1712 * 267616 / (16726 << 6));
}

TEST(ItNotePitch, SampleVibratoSweepsInAndSwingsOverItsDepth) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1});
    ItFileBuilder b = itSong(rows, {});
    b.speed = 255;
    b.samples[0].vibrato[0] = 64;  // speed
    b.samples[0].vibrato[1] = 64;  // depth
    b.samples[0].vibrato[2] = 255; // rate
    auto song = playIt(b);
    playTick(*song->player);
    EXPECT_EQ(song->channel(0).autoVibratoSweep, 255u);
    for (int i = 0; i < 70; ++i)
        playTick(*song->player);
    EXPECT_EQ(song->channel(0).autoVibratoSweep >> 8, 64u);
    int32_t low = 0;
    int32_t high = 0;
    for (int i = 0; i < 8; ++i) {
        playTick(*song->player);
        low = std::min(low, song->channel(0).autoVibratoOffset);
        high = std::max(high, song->channel(0).autoVibratoOffset);
    }
    EXPECT_EQ(low, -64);
    EXPECT_EQ(high, 63);
}

// Depth 64 is reached after 65 ticks; from tick 72 on the ticks read positions 0, 64, 128 and
// 192 of the waveform, an offset of entry x 64 >> 9. A rising offset raises the pitch in both
// slide modes.
TEST(ItNotePitch, SampleVibratoWaveformsAreSineRampDownAndSquare) {
    const std::vector<int32_t> expected[3] = {
        {0, 63, 0, -64},   // sine: 0, 511, 0, -511
        {63, 31, -1, -33}, // ramp down: 511 - i x 1022 / 255
        {63, 63, 0, 0},    // square, on one side only
    };
    for (uint16_t flags : {ItSampleSong, uint16_t{0x01}})
        for (uint8_t waveform = 0; waveform < 3; ++waveform) {
            ItPatternWriter rows;
            rows.cell(0, 0, {60, 1});
            ItFileBuilder b = itSong(rows, {});
            b.flags = flags;
            b.samples[0].vibrato[0] = 64;
            b.samples[0].vibrato[1] = 64;
            b.samples[0].vibrato[2] = 255;
            b.samples[0].vibrato[3] = waveform;
            auto song = playIt(b);
            for (int i = 0; i < 72; ++i)
                playTick(*song->player);
            std::vector<int32_t> offsets;
            std::vector<uint32_t> steps;
            for (int i = 0; i < 4; ++i) {
                playTick(*song->player);
                offsets.push_back(song->channel(0).autoVibratoOffset);
                steps.push_back(song->voice(0).step);
            }
            EXPECT_EQ(offsets, expected[waveform]) << int{waveform};
            if (waveform == 0) {
                EXPECT_GT(steps[1], steps[0]) << flags;
                EXPECT_LT(steps[3], steps[0]) << flags;
            }
        }
}

TEST(ItVibrato, MovesOnTheRowAndHalfAsDeepUnlessOldEffects) {
    for (bool oldEffects : {false, true}) {
        ItPatternWriter rows;
        rows.cell(0, 0, {60, 1, -1, itCommand('H'), 0x8F});
        ItFileBuilder b = itSong(rows, {});
        if (oldEffects)
            b.flags |= 0x10;
        auto song = playIt(b);
        std::vector<int32_t> offsets;
        for (int tick = 0; tick < 3; ++tick) {
            playTick(*song->player);
            offsets.push_back(song->channel(0).vibratoOffset);
        }
        // Sine entries 0, 180 and 255 times a depth of 15 x -4, over 256 (128 with old effects),
        // rounded down; old effects start a tick later.
        EXPECT_EQ(offsets, oldEffects ? (std::vector<int32_t>{0, 0, -85})
                                      : (std::vector<int32_t>{0, -43, -60}));
    }
}

TEST(ItVibrato, FineVibratoIsAQuarterAsDeep) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1, -1, itCommand('U'), 0x8F});
    auto song = playIt(itSong(rows, {}));
    playTick(*song->player);
    playTick(*song->player);
    playTick(*song->player);
    // No move on the row: the second tick reads sine entry 8.
    EXPECT_EQ(song->channel(0).vibratoOffset, (180 * -15) >> 8);
}

// Row 0 slides up with F, row 1 tone-portamentos to note 72 with G00, row 2 slides with F00
// after a G20 on row 1 of the second song.
TEST(ItPortamentoMemory, GSharesTheMemoryOfEAndFUnlessTheCompatibilityFlagIsSet) {
    for (bool shared : {false, true}) {
        ItPatternWriter rows;
        rows.cell(0, 0, {60, 1, -1, itCommand('F'), 4});
        rows.cell(1, 0, {72, -1, -1, itCommand('G'), 0});
        auto song = playIt([&] {
            ItFileBuilder b = itSong(rows, {});
            b.flags = static_cast<uint16_t>(b.flags | (shared ? 0 : 0x20));
            return b;
        }());
        playRow(*song->player);
        EXPECT_EQ(song->channel(0).slideOffset, -32);
        playRow(*song->player);
        // F04 gave G a speed of 4 (16 units a tick) only when the memory is shared.
        EXPECT_EQ(song->channel(0).slideOffset, shared ? -64 : -32) << shared;
    }
    for (bool shared : {false, true}) {
        ItPatternWriter rows;
        rows.cell(0, 0, {60, 1});
        rows.cell(1, 0, {62, -1, -1, itCommand('G'), 2});
        rows.cell(2, 0, {-1, -1, -1, itCommand('F'), 0});
        ItFileBuilder b = itSong(rows, {});
        b.flags = static_cast<uint16_t>(b.flags | (shared ? 0 : 0x20));
        auto song = playIt(b);
        playRow(*song->player);
        playRow(*song->player);
        EXPECT_EQ(song->channel(0).slideOffset, -16);
        playRow(*song->player);
        EXPECT_EQ(song->channel(0).slideOffset, shared ? -32 : -16) << shared;
    }
}

TEST(ItPortamentoMemory, EAndFShareOneMemory) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1, -1, itCommand('F'), 4});
    rows.cell(1, 0, {-1, -1, -1, itCommand('E'), 0});
    rows.cell(2, 0, {-1, -1, -1, itCommand('E'), 0xF2});
    rows.cell(3, 0, {-1, -1, -1, itCommand('F'), 0xE3});
    auto song = playIt(itSong(rows, {}));
    playRow(*song->player);
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).slideOffset, 0);
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).slideOffset, 8);
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).slideOffset, 5);
}

TEST(ItPortamento, ToneSlideKeepsTheSampleGoingButTakesTheInstrument) {
    ItTestInstrument ins;
    ins.defaultPan = 0;
    ins.volume = {0x01, {{0, 32}}};
    ItTestInstrument plain;
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 2});
    rows.cell(1, 0, {64, 1, -1, itCommand('G'), 8});
    auto song = playIt(itSong(rows, {ins, plain}));
    playRow(*song->player);
    const uint32_t starts = song->voice(0).flags;
    playTick(*song->player);
    EXPECT_EQ(song->it().voiceOf(0), 0);
    EXPECT_EQ(song->voice(0).flags, starts);
    EXPECT_EQ(song->channel(0).panning, 0);
    EXPECT_EQ(song->channel(0).volumeEnvelopeState.value, 32 * 256);
    EXPECT_EQ(song->channel(0).slideOffset, 0);
    playTick(*song->player);
    EXPECT_EQ(song->channel(0).slideOffset, -32);
}

// Nothing to slide from on a channel that never sounded (1) or whose note was cut (0): the
// note starts at its own pitch, whichever column asks for the slide.
TEST(ItPortamento, OnASilentChannelTheNoteStarts) {
    for (bool instruments : {false, true})
        for (ItTestCell slide :
             {ItTestCell{72, 1, -1, itCommand('G'), 16}, ItTestCell{72, 1, 196}}) {
            ItPatternWriter rows;
            rows.cell(0, 0, {60, 1}).cell(1, 0, {254}).cell(2, 0, slide).cell(2, 1, slide);
            auto song = playIt(itSong(rows, instruments ? std::vector{ItTestInstrument{}}
                                                        : std::vector<ItTestInstrument>{}));
            for (int tick = 0; tick < 8; ++tick)
                playTick(*song->player);
            for (uint32_t k : {0u, 1u}) {
                ASSERT_GE(song->it().voiceOf(k), 0);
                EXPECT_TRUE(song->sounds(static_cast<uint32_t>(song->it().voiceOf(k))));
                EXPECT_EQ(song->channel(k).period + song->channel(k).slideOffset, 7680 - 64 * 72);
            }
        }
}

TEST(ItPortamento, VolumeColumnSlidesRunBesideTheEffect) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1});
    // Volume column: pitch slide up 2 (F08, 32 units a tick); effect column: volume slide down.
    rows.cell(1, 0, {-1, -1, 117, itCommand('D'), 0x02});
    rows.cell(2, 0, {-1, -1, 115, itCommand('D'), 0});
    auto song = playIt(itSong(rows, {}));
    playRow(*song->player);
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).slideOffset, -64);
    EXPECT_EQ(song->channel(0).volume, 60);
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).slideOffset, -128);
    EXPECT_EQ(song->channel(0).volume, 56);
}

} // namespace
} // namespace tolva::test
