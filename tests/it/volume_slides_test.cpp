#include "support/ItHarness.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolva::test {
namespace {

// One cell per row on channel 0; the volume after each row.
std::vector<int> volumesAfterEachRow(const std::vector<ItTestCell>& cells) {
    ItPatternWriter rows;
    for (uint32_t r = 0; r < cells.size(); ++r)
        rows.cell(r, 0, cells[r]);
    auto song = playIt(itSong(rows, {}));
    std::vector<int> volumes;
    for (std::size_t r = 0; r < cells.size(); ++r) {
        playRow(*song->player);
        volumes.push_back(song->channel(0).volume);
    }
    return volumes;
}

constexpr int D = itCommand('D');

TEST(ItVolumeSlide, ParameterRulesAndMemory) {
    EXPECT_EQ(volumesAfterEachRow({
                  {60, 1, 32, D, 0x04},  // down 4 on the two later ticks
                  {-1, -1, -1, D, 0},    // the same again
                  {-1, -1, 64, D, 0x0F}, // 15 on every tick, the first included
                  {-1, -1, 32, D, 0x1F}, // fine up 1
                  {-1, -1, 32, D, 0xF1}, // fine down 1
                  {-1, -1, 32, D, 0x23}, // both nibbles: nothing
                  {-1, -1, 32, D, 0xF0}, // up 15 on every tick
              }),
              (std::vector<int>{24, 16, 19, 33, 31, 32, 64}));
}

TEST(ItVolumeSlide, CombinedSlidesShareTheMemoryAndWaitForTheSecondTick) {
    EXPECT_EQ(volumesAfterEachRow({
                  {60, 1, 32, D, 0x04},
                  {-1, -1, -1, itCommand('K'), 0},
                  {-1, -1, -1, itCommand('L'), 0},
                  {-1, -1, -1, itCommand('K'), 0x0F},
                  {-1, -1, 40, itCommand('L'), 0x2F},
              }),
              (std::vector<int>{24, 16, 8, 0, 42}));
}

TEST(ItVolumeSlide, VolumeColumnSlidesHaveTheirOwnMemory) {
    EXPECT_EQ(volumesAfterEachRow({
                  {60, 1, 40, D, 0x01},
                  {-1, -1, 67},       // fine up 2
                  {-1, -1, 65},       // fine up, amount from memory
                  {-1, -1, 98, D, 0}, // down 3 a tick, beside D's own slide of 1
                  {-1, -1, 95},       // down 3 a tick from memory
                  {-1, -1, 86},       // up 1 a tick
                  {-1, -1, 75},       // fine down from memory
              }),
              (std::vector<int>{38, 40, 42, 34, 28, 30, 29}));
}

TEST(ItChannelVolume, SetAndSlideScaleTheMixerVolume) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1, -1, itCommand('M'), 0x20});
    rows.cell(1, 0, {-1, -1, -1, itCommand('M'), 0x41});
    rows.cell(2, 0, {-1, -1, -1, itCommand('N'), 0x02});
    rows.cell(3, 0, {-1, -1, -1, itCommand('N'), 0x0F});
    auto song = playIt(itSong(rows, {}));
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).channelVolume, 32);
    EXPECT_EQ(song->voice(0).targetVolume, 64);
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).channelVolume, 32);
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).channelVolume, 28);
    EXPECT_EQ(song->voice(0).targetVolume, 56);
    playRow(*song->player);
    EXPECT_EQ(song->channel(0).channelVolume, 0);
    EXPECT_EQ(song->voice(0).targetVolume, 0);
}

TEST(ItGlobalVolume, SetAndSlideReachEveryVoiceAtOnce) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1, -1, itCommand('V'), 0x40}).cell(0, 1, {60, 1});
    rows.cell(1, 0, {-1, -1, -1, itCommand('V'), 0x81});
    rows.cell(2, 0, {-1, -1, -1, itCommand('W'), 0x02});
    rows.cell(3, 0, {-1, -1, -1, itCommand('W'), 0xF1});
    auto song = playIt(itSong(rows, {}));
    playRow(*song->player);
    EXPECT_EQ(song->player->globalVolume, 64);
    EXPECT_EQ(song->voice(1).targetVolume, 64);
    playRow(*song->player);
    EXPECT_EQ(song->player->globalVolume, 64);
    playRow(*song->player);
    EXPECT_EQ(song->player->globalVolume, 60);
    EXPECT_EQ(song->voice(1).targetVolume, 60);
    playRow(*song->player);
    EXPECT_EQ(song->player->globalVolume, 59);
    EXPECT_EQ(song->voice(1).targetVolume, 59);
}

TEST(ItVolume, SampleAndInstrumentGlobalVolumesScaleTheMixerVolume) {
    ItTestInstrument ins;
    ins.globalVolume = 64;
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1});
    ItFileBuilder b = itSong(rows, {ins});
    b.samples[0].globalVolume = 32;
    auto song = playIt(b);
    playTick(*song->player);
    EXPECT_EQ(song->voice(0).targetVolume, 32);
}

} // namespace
} // namespace tolva::test
