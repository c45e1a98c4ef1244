#include "support/ItHarness.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolva::test {
namespace {

constexpr int T = itCommand('T');

TEST(ItTempo, SlidesOnTheLaterTicksAndStaysWithin32And255) {
    ItPatternWriter rows;
    const std::vector<int> params = {0x05, 0x00, 0x15, 0x20, 0x01, 0xFF, 0x1F};
    for (uint32_t r = 0; r < params.size(); ++r)
        rows.cell(r, 0, {-1, -1, -1, T, params[r]});
    auto song = playIt(itSong(rows, {}));
    std::vector<int> tempos;
    for (std::size_t r = 0; r < params.size(); ++r) {
        playRow(*song->player);
        tempos.push_back(song->player->tempo);
    }
    EXPECT_EQ(tempos, (std::vector<int>{115, 105, 115, 32, 32, 255, 255}));
}

TEST(ItTempo, TheTickLengthFollowsTheSlide) {
    ItPatternWriter rows;
    rows.cell(0, 0, {-1, -1, -1, T, 0x0A});
    auto song = playIt(itSong(rows, {}));
    playTick(*song->player);
    playTick(*song->player);
    EXPECT_EQ(song->player->tempo, 115);
    std::vector<int16_t> out(2 * 4096);
    RenderFormat format;
    const uint32_t before = song->mixer->framesRendered();
    song->player->renderFrames(5 * 44100 / (2 * 115), out.data(), &format);
    // One tick of 958 frames later the slide has gone on once more.
    EXPECT_EQ(song->player->tempo, 105);
    EXPECT_EQ(song->mixer->framesRendered() - before, 958u);
}

TEST(ItSpeed, ANonZeroParameterSetsTheTicksPerRow) {
    ItPatternWriter rows;
    rows.cell(0, 0, {-1, -1, -1, itCommand('A'), 5});
    rows.cell(1, 0, {-1, -1, -1, itCommand('A'), 0});
    auto song = playIt(itSong(rows, {}));
    playTick(*song->player);
    uint32_t ticks = 1;
    while (song->player->onTick(0, 0) && song->player->songPosition == 0)
        ++ticks;
    EXPECT_EQ(ticks, 5u);
    playRow(*song->player);
    EXPECT_EQ(song->player->speed, 5);
}

} // namespace
} // namespace tolva::test
