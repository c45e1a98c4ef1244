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
    ItTestInstrument ins{.volume = {0x01, {{0, 64}, {10, 0}}}};
    std::vector<Ints> expected;
    for (int i = 0; i < 10; ++i)
        expected.push_back({16384 - 1638 * i, (16384 - 1638 * i) * 128 / 16384, 1});
    expected.push_back({0, 0, 0});
    EXPECT_EQ(oneNote(ins)->trace(11, false, volumeState), expected);
}

TEST(ItVolumeEnvelope, EndingAboveZeroStartsTheFade) {
    ItTestInstrument ins{.fadeOut = 512, .volume = {0x01, {{0, 64}, {4, 32}}}};
    auto song = oneNote(ins);
    song->ticks(4);
    EXPECT_EQ(song->trace(4, false, ItSong::fade),
              (std::vector<Ints>{
                  {8192, 1024, 64, 1}, {8192, 512, 32, 1}, {8192, 0, 0, 1}, {8192, 0, 0, 0}}));
}

TEST(ItVolumeEnvelope, LoopsAndSustainLoops) {
    // Rows 0..2 are nine ticks: up to node 1, down towards node 2, back to node 1, and so on;
    // released on row 3, on from node 1 through node 2 to the end.
    ItTestInstrument sustain{
        .volume = {0x01 | 0x04, {{0, 0}, {2, 64}, {4, 32}, {6, 0}}, 0, 0, 1, 2}};
    auto song = playIt(itSong({{0, 0, {60, 1}}, {3, 0, {255}}}, {sustain}));
    std::vector<Ints> values = song->trace(14, false, volumeState);
    const int expected[] = {0,     8192,  16384, 12288, 16384, 12288, 16384,
                            12288, 16384, 12288, 8192,  4096,  0,     0};
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(values[i][0], expected[i]) << i;
    EXPECT_EQ(values[13][2], 0);
    // A loop of one node holds its value.
    ItTestInstrument held{.volume = {0x01 | 0x02, {{0, 64}, {2, 16}, {4, 0}}, 1, 1}};
    values = oneNote(held)->trace(7, false, volumeState);
    EXPECT_EQ(values[2], (Ints{4096, 32, 1}));
    EXPECT_EQ(values[6], (Ints{4096, 32, 1}));
    EXPECT_EQ(values[1][0], 10240);
}

TEST(ItVolumeEnvelope, CarryGoesOnFromWhereTheLastNoteLeftIt) {
    for (uint8_t carry : {0x00, 0x08}) {
        ItTestInstrument ins{.volume = {uint8_t(0x01 | carry), {{0, 64}, {20, 0}}}};
        auto song = playIt(itSong({{0, 0, {60, 1}}, {1, 0, {62, 1}}}, {ins}));
        song->enter();
        EXPECT_EQ(song->channel(0).volumeEnvelopeState.value, carry ? 16384 - 3 * 819 : 16384);
        EXPECT_EQ(song->channel(0).note, 62u);
    }
}

TEST(ItVolumeEnvelope, SwitchedOffByS77AndOnAgainByS78) {
    ItTestInstrument ins{.volume = {0x01, {{0, 32}}}};
    auto song =
        playIt(itSong({{0, 0, {60, 1}}, {1, 0, fx('S', 0x77)}, {2, 0, fx('S', 0x78)}}, {ins}));
    EXPECT_EQ(song->trace(3, true, ItSong::volume), (std::vector<Ints>{{64}, {128}, {64}}));
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

// One cell per row on channel 0; the volume after each row.
std::vector<Ints> volumesAfterEachRow(const std::vector<ItTestCell>& cells) {
    std::vector<ItPlacedCell> placed;
    for (const ItTestCell& cell : cells)
        placed.push_back({static_cast<uint32_t>(placed.size()), 0, cell});
    auto song = playIt(itSong(placed));
    return song->trace(static_cast<uint32_t>(cells.size()), true,
                       [](ItSong& s) { return Ints{s.channel(0).volume}; });
}

TEST(ItVolumeSlide, ParameterRulesAndMemory) {
    EXPECT_EQ(volumesAfterEachRow({
                  {60, 1, 32, 'D', 0x04},  // down 4 on the two later ticks
                  {-1, -1, -1, 'D', 0},    // the same again
                  {-1, -1, 64, 'D', 0x0F}, // 15 on every tick, the first included
                  {-1, -1, 32, 'D', 0x1F}, // fine up 1
                  {-1, -1, 32, 'D', 0xF1}, // fine down 1
                  {-1, -1, 32, 'D', 0x23}, // both nibbles: nothing
                  {-1, -1, 32, 'D', 0xF0}, // up 15 on every tick
              }),
              (std::vector<Ints>{{24}, {16}, {19}, {33}, {31}, {32}, {64}}));
    // K and L slide with D's memory and wait for the second tick.
    EXPECT_EQ(volumesAfterEachRow({{60, 1, 32, 'D', 0x04},
                                   fx('K', 0),
                                   fx('L', 0),
                                   fx('K', 0x0F),
                                   {-1, -1, 40, 'L', 0x2F}}),
              (std::vector<Ints>{{24}, {16}, {8}, {0}, {42}}));
}

TEST(ItVolumeSlide, VolumeColumnSlidesHaveTheirOwnMemory) {
    EXPECT_EQ(volumesAfterEachRow({
                  {60, 1, 40, 'D', 0x01},
                  {-1, -1, 67},         // fine up 2
                  {-1, -1, 65},         // fine up, amount from memory
                  {-1, -1, 98, 'D', 0}, // down 3 a tick, beside D's own slide of 1
                  {-1, -1, 95},         // down 3 a tick from memory
                  {-1, -1, 86},         // up 1 a tick
                  {-1, -1, 75},         // fine down from memory
              }),
              (std::vector<Ints>{{38}, {40}, {42}, {34}, {28}, {30}, {29}}));
}

TEST(ItVolume, ChannelAndGlobalVolumesScaleTheMixerVolume) {
    auto song = playIt(itSong({{0, 0, {60, 1, -1, 'M', 0x20}},
                               {1, 0, fx('M', 0x41)},
                               {2, 0, fx('N', 0x02)},
                               {3, 0, fx('N', 0x0F)}}));
    EXPECT_EQ(song->trace(4, true, ItSong::channelVolume),
              (std::vector<Ints>{{32, 64}, {32, 64}, {28, 56}, {0, 0}}));
    // The global volume reaches every voice at once.
    song = playIt(itSong({{0, 0, {60, 1, -1, 'V', 0x40}},
                          {0, 1, {60, 1}},
                          {1, 0, fx('V', 0x81)},
                          {2, 0, fx('W', 0x02)},
                          {3, 0, fx('W', 0xF1)}}));
    EXPECT_EQ(song->trace(4, true, ItSong::global),
              (std::vector<Ints>{{64, 64}, {64, 64}, {60, 60}, {59, 59}}));
    // Sample and instrument global volumes.
    ItTestInstrument ins{.globalVolume = 64};
    ItFileBuilder b = itSong({{0, 0, {60, 1}}}, {ins});
    b.samples[0].globalVolume = 32;
    EXPECT_EQ(playIt(b)->trace(1, false, ItSong::volume), (std::vector<Ints>{{32}}));
}

} // namespace
} // namespace tolva::test
