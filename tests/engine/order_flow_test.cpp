// The rows a song plays: breaks, jumps, loops, delays and the end of the song. Rows are
// written order x 100 + row.
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

struct Case {
    const char* what;
    ModBuilder song;
    std::vector<uint32_t> first; // the first rows played
    std::size_t total;           // rows played to the end
    uint32_t returns = 0;        // returns to a position played before
    void (*setup)(Player&) = nullptr;
};

ModBuilder orders(std::vector<uint8_t> list) {
    return ModBuilder().orders(std::move(list));
}

void noBack(Player& p) {
    p.songFlags |= SongNoBackwardJumps;
}
void skipFirst(Player& p) {
    p.song.orders[0] = OrderSkip;
}
void skipBoth(Player& p) {
    p.song.orders[0] = p.song.orders[1] = OrderSkip;
}
void threeLoops(Player& p) {
    p.maxLoops = 3;
}
void skipEmpty(Player& p) {
    p.songFlags |= SongSkipTrailingEmpty;
}

TEST(OrderFlow, RowsPlayed) {
    const Case cases[] = {
        {"decimal break", orders({0, 1}).cell(0, 3, 1, fx(0xD, 0x15)), {0, 1, 2, 3, 115, 116}, 53},
        {"break too far", orders({0, 1}).cell(0, 0, 0, fx(0xD, 0x64)), {0, 100, 101}, 65},
        {"jump", orders({0, 1, 2}).cell(0, 1, 0, fx(0xB, 0x02)), {0, 1, 200, 201}, 66},
        {"jump too far", orders({0, 1}).cell(0, 1, 0, fx(0xB, 0x05)), {0, 1, 2}, 128},
        // ProTracker reads the channels in turn: a jump resets the break row set before it.
        {"jump, break",
         orders({0, 1, 2}).cell(0, 1, 0, fx(0xB, 0x02)).cell(0, 1, 1, fx(0xD, 0x10)),
         {0, 1, 210, 211},
         56},
        {"break, jump",
         orders({0, 1, 2}).cell(0, 1, 0, fx(0xD, 0x10)).cell(0, 1, 3, fx(0xB, 0x02)),
         {0, 1, 200, 201},
         66},
        {"jump; break",
         orders({0, 1, 2, 1}).cell(0, 1, 0, fx(0xB, 0x02)).cell(2, 2, 2, fx(0xD, 0x07)),
         {0, 1, 200, 201, 202, 307},
         62},
        {"pattern delay", ModBuilder().cell(0, 2, 0, fx(0xE, 0xE2)), {0, 1, 2, 2, 2, 3}, 66},
        // ProTracker keeps the delay of the last channel that has one on the row.
        {"2 delays",
         ModBuilder().cell(0, 0, 0, fx(0xE, 0xE2)).cell(0, 0, 2, fx(0xE, 0xE6)),
         {0, 0, 0, 0, 0, 0, 0, 1},
         70},
        {"delay, none",
         ModBuilder().cell(0, 0, 0, fx(0xE, 0xE6)).cell(0, 0, 2, fx(0xE, 0xE0)),
         {0, 1},
         64},
        {"none, delay",
         ModBuilder().cell(0, 0, 0, fx(0xE, 0xE0)).cell(0, 0, 2, fx(0xE, 0xE3)),
         {0, 0, 0, 0, 1},
         67},
        // A second loop starts after the end of the first; looping is no return.
        {"loops",
         ModBuilder()
             .cell(0, 1, 0, fx(0xE, 0x60))
             .cell(0, 3, 0, fx(0xE, 0x62))
             .cell(0, 5, 0, fx(0xE, 0x63)),
         {0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5, 4, 5, 4, 5, 4, 5, 6},
         76},
        {"nested loops",
         ModBuilder()
             .cell(0, 0, 0, fx(0xE, 0x60))
             .cell(0, 2, 1, fx(0xE, 0x60))
             .cell(0, 3, 1, fx(0xE, 0x61))
             .cell(0, 4, 0, fx(0xE, 0x61)),
         {0, 1, 2, 3, 2, 3, 4, 0, 1, 2, 3, 2, 3, 4, 5},
         73},
        {"loops end on a row",
         orders({0, 1}).cell(0, 3, 0, fx(0xE, 0x61)).cell(0, 3, 1, fx(0xE, 0x61)),
         {0, 1, 2, 3, 0, 1, 2, 3, 4},
         132},
        // On the first pass the loop counter is set when the break is seen: it is ignored. On
        // the second the loop has finished before channel 1 breaks.
        {"break waits for a loop",
         orders({0, 1})
             .cell(0, 1, 0, fx(0xE, 0x60))
             .cell(0, 2, 0, fx(0xE, 0x61))
             .cell(0, 2, 1, fx(0xD, 0x00)),
         {0, 1, 2, 1, 2, 100},
         69},
        {"ends when played twice", orders({0, 1}).cell(1, 0, 0, fx(0xB, 0)), {0}, 65, 1},
        {"loop limit", orders({0, 1}).cell(1, 0, 0, fx(0xB, 0)), {0}, 65 * 3, 3, threeLoops},
        // A jump to itself is allowed, but its first row was played: on to order 2.
        {"no back: revisit skipped",
         orders({0, 1, 2}).cell(0, 0, 0, fx(0xD, 0)).cell(1, 1, 0, fx(0xB, 0x01)),
         {0, 100, 101, 200},
         67,
         0,
         noBack},
        // The jump is taken; its target was played, so the song goes on after order 1: its end.
        {"no back: played target", orders({0, 1}).cell(1, 0, 0, fx(0xB, 0)), {0}, 65, 0, noBack},
        {"skips take no time", orders({0, 1}), {100}, 64, 0, skipFirst},
        {"only skips", orders({0, 1}), {}, 0, 0, skipBoth},
        {"restart", orders({0, 1}), {0}, 128, 1, [](Player& p) { p.song.restartPosition = 1; }},
        {"restart onto nothing", orders({0}), {}, 0, 0, skipFirst},
        {"trailing empty", orders({0, 1, 1}).cell(0, 0, 0, fx(0xF, 0x06)), {0}, 192},
        {"trailing skipped", orders({0, 1, 1}).cell(0, 0, 0, fx(0xF, 6)), {0}, 64, 0, skipEmpty},
        // Pattern 1 is all zero: missing, it plays 64 silent rows.
        {"missing pattern", orders({1, 0}).cell(1, 63, 0, fx(0xA, 0x01)), {0, 1}, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingMixer mixer;
        auto player = playMod(c.song.build(), mixer);
        ASSERT_TRUE(player);
        if (c.setup)
            c.setup(*player);
        std::vector<uint32_t> played;
        for (const RowStep& s : traceRows(*player, 1000))
            played.push_back(s.order * 100 + s.row);
        EXPECT_EQ(played.size(), c.total);
        played.resize(std::min(played.size(), c.first.size()));
        EXPECT_EQ(played, c.first);
        EXPECT_EQ(player->loopReturnCount, c.returns);
    }
}

} // namespace
} // namespace tolva::test
