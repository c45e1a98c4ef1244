#include "support/ItHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

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
    EXPECT_EQ(song->trace(4, true,
                          [](ItSong& s) {
                              return Ints{s.channel(0).channelVolume, s.voice(0).targetVolume};
                          }),
              (std::vector<Ints>{{32, 64}, {32, 64}, {28, 56}, {0, 0}}));
    // The global volume reaches every voice at once.
    song = playIt(itSong({{0, 0, {60, 1, -1, 'V', 0x40}},
                          {0, 1, {60, 1}},
                          {1, 0, fx('V', 0x81)},
                          {2, 0, fx('W', 0x02)},
                          {3, 0, fx('W', 0xF1)}}));
    EXPECT_EQ(song->trace(4, true,
                          [](ItSong& s) {
                              return Ints{s.player->globalVolume, s.voice(1).targetVolume};
                          }),
              (std::vector<Ints>{{64, 64}, {64, 64}, {60, 60}, {59, 59}}));
    // Sample and instrument global volumes.
    ItTestInstrument ins;
    ins.globalVolume = 64;
    ItFileBuilder b = itSong({{0, 0, {60, 1}}}, {ins});
    b.samples[0].globalVolume = 32;
    EXPECT_EQ(playIt(b)->trace(1, false, [](ItSong& s) { return Ints{s.voice(0).targetVolume}; }),
              (std::vector<Ints>{{32}}));
}

} // namespace
} // namespace tolva::test
