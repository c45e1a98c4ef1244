#include "support/ItHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// Volume envelope value, mixer volume (full is 128) and whether the voice sounds.
Ints volumeState(ItSong& s) {
    return {s.channel(0).volumeEnvelopeState.value, s.voice(0).targetVolume, s.sounds(0)};
}

std::unique_ptr<ItSong> oneNote(const ItTestInstrument& ins, uint8_t speed = 20) {
    ItFileBuilder b = itSong({{0, 0, {60, 1}}}, {ins});
    b.speed = speed;
    return playIt(b);
}

TEST(ItVolumeEnvelope, FallsToItsLastNodeAndStopsTheVoiceAtZero) {
    ItTestInstrument ins;
    ins.volume = {0x01, {{0, 64}, {10, 0}}};
    std::vector<Ints> expected;
    for (int i = 0; i < 10; ++i)
        expected.push_back({16384 - 1638 * i, (16384 - 1638 * i) * 128 / 16384, 1});
    expected.push_back({0, 0, 0});
    EXPECT_EQ(oneNote(ins)->trace(11, false, volumeState), expected);
}

TEST(ItVolumeEnvelope, EndingAboveZeroStartsTheFade) {
    ItTestInstrument ins;
    ins.volume = {0x01, {{0, 64}, {4, 32}}};
    ins.fadeOut = 512;
    auto song = oneNote(ins);
    song->ticks(4);
    EXPECT_EQ(song->trace(4, false,
                          [](ItSong& s) {
                              return Ints{s.channel(0).volumeEnvelopeState.value,
                                          s.channel(0).fadeVolume, s.voice(0).targetVolume,
                                          s.sounds(0)};
                          }),
              (std::vector<Ints>{
                  {8192, 1024, 64, 1}, {8192, 512, 32, 1}, {8192, 0, 0, 1}, {8192, 0, 0, 0}}));
}

TEST(ItVolumeEnvelope, LoopsAndSustainLoops) {
    // Rows 0..2 are nine ticks: up to node 1, down towards node 2, back to node 1, and so on;
    // released on row 3, on from node 1 through node 2 to the end.
    ItTestInstrument sustain;
    sustain.volume = {0x01 | 0x04, {{0, 0}, {2, 64}, {4, 32}, {6, 0}}, 0, 0, 1, 2};
    auto song = playIt(itSong({{0, 0, {60, 1}}, {3, 0, {255}}}, {sustain}));
    std::vector<Ints> values = song->trace(14, false, volumeState);
    const int expected[] = {0,     8192,  16384, 12288, 16384, 12288, 16384,
                            12288, 16384, 12288, 8192,  4096,  0,     0};
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(values[i][0], expected[i]) << i;
    EXPECT_EQ(values[13][2], 0);
    // A loop of one node holds its value.
    ItTestInstrument held;
    held.volume = {0x01 | 0x02, {{0, 64}, {2, 16}, {4, 0}}, 1, 1};
    values = oneNote(held)->trace(7, false, volumeState);
    EXPECT_EQ(values[2], (Ints{4096, 32, 1}));
    EXPECT_EQ(values[6], (Ints{4096, 32, 1}));
    EXPECT_EQ(values[1][0], 10240);
}

TEST(ItVolumeEnvelope, CarryGoesOnFromWhereTheLastNoteLeftIt) {
    for (uint8_t carry : {0x00, 0x08}) {
        ItTestInstrument ins;
        ins.volume = {uint8_t(0x01 | carry), {{0, 64}, {20, 0}}};
        auto song = playIt(itSong({{0, 0, {60, 1}}, {1, 0, {62, 1}}}, {ins}));
        song->rows();
        song->ticks();
        EXPECT_EQ(song->channel(0).volumeEnvelopeState.value, carry ? 16384 - 3 * 819 : 16384);
        EXPECT_EQ(song->channel(0).note, 62u);
    }
}

TEST(ItVolumeEnvelope, SwitchedOffByS77AndOnAgainByS78) {
    ItTestInstrument ins;
    ins.volume = {0x01, {{0, 32}}};
    auto song =
        playIt(itSong({{0, 0, {60, 1}}, {1, 0, fx('S', 0x77)}, {2, 0, fx('S', 0x78)}}, {ins}));
    EXPECT_EQ(song->trace(3, true, [](ItSong& s) { return Ints{s.voice(0).targetVolume}; }),
              (std::vector<Ints>{{64}, {128}, {64}}));
}

TEST(ItPitchAndPanEnvelopes, MoveThePitchAndThePan) {
    ItTestInstrument ins;
    ins.defaultPan = 16; // 63
    ins.pitch = {0x01, {{0, 32}}};
    ins.pan = {0x01, {{0, 32}}};
    auto song = oneNote(ins, 3);
    song->ticks();
    // 16 semitones above middle C: 8363 x 2^(682/512 octaves) as the pitch table has it.
    EXPECT_EQ(song->voice(0).step, uint32_t{(8363ull * 2 * 82496) / 44100});
    // Room to the left edge is 63: a full envelope moves the pan by that much.
    EXPECT_EQ(song->voice(0).targetPanning, 63 + 63);
}

} // namespace
} // namespace tolva::test
