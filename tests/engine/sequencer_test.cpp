// The rows a song plays (breaks, jumps, loops, delays and the end of the song), and the ticks
// and frames they take: at 125 BPM and 44100 Hz a tick is 882 frames.
#include "support/TickCases.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tolva::test {
namespace {

using enum Read;

// Rows are written order x 100 + row; effects as the tracker shows them (0xD15 is D15).
struct Effect {
    uint32_t pattern, row, channel;
    uint16_t command;
};

using Effects = std::vector<Effect>;

struct Case {
    const char* what;
    std::vector<uint8_t> orders;
    Effects effects;
    std::vector<uint32_t> first; // the first rows played
    std::size_t total;           // rows played to the end
    uint32_t returns = 0;        // returns to a position played before
    void (*setup)(Player&) = nullptr;
};

const Effects jumpThenBreak = {{0, 1, 0, 0xB02}, {2, 2, 2, 0xD07}};
const Effects loops = {{0, 1, 0, 0xE60}, {0, 3, 0, 0xE62}, {0, 5, 0, 0xE63}};
const Effects nested = {{0, 0, 0, 0xE60}, {0, 2, 1, 0xE60}, {0, 3, 1, 0xE61}, {0, 4, 0, 0xE61}};
const Effects twoLoopEnds = {{0, 3, 0, 0xE61}, {0, 3, 1, 0xE61}};
const Effects loopThenBreak = {{0, 1, 0, 0xE60}, {0, 2, 0, 0xE61}, {0, 2, 1, 0xD00}};
const Effects breakInLoop = {
    {0, 0, 0, 0xE60}, {0, 3, 0, 0xD00}, {1, 0, 0, 0xB00}, {1, 0, 1, 0xD04}, {0, 5, 0, 0xE61}};
const Effects revisit = {{0, 0, 0, 0xD00}, {1, 1, 0, 0xB01}};

const auto noBack = [](Player& p) { p.songFlags |= SongNoBackwardJumps; };
const auto skipFirst = [](Player& p) { p.song.orders[0] = OrderSkip; };
const auto skipBoth = [](Player& p) { p.song.orders[0] = p.song.orders[1] = OrderSkip; };
const auto threeLoops = [](Player& p) { p.maxLoops = 3; };
const auto restartAt1 = [](Player& p) { p.song.restartPosition = 1; };
const auto skipEmpty = [](Player& p) { p.songFlags |= SongSkipTrailingEmpty; };

TEST(OrderFlow, RowsPlayed) {
    const Case cases[] = {
        {"decimal break", {0, 1}, {{0, 3, 1, 0xD15}}, {0, 1, 2, 3, 115, 116}, 53},
        {"break too far", {0, 1}, {{0, 0, 0, 0xD64}}, {0, 100, 101}, 65},
        {"jump", {0, 1, 2}, {{0, 1, 0, 0xB02}}, {0, 1, 200, 201}, 66},
        // Past the order list is its end.
        {"jump too far", {0, 1}, {{0, 1, 0, 0xB05}}, {0, 1}, 2},
        // ProTracker reads the channels in turn: a jump resets the break row set before it.
        {"jump, break", {0, 1, 2}, {{0, 1, 0, 0xB02}, {0, 1, 1, 0xD10}}, {0, 1, 210, 211}, 56},
        {"break, jump", {0, 1, 2}, {{0, 1, 0, 0xD10}, {0, 1, 3, 0xB02}}, {0, 1, 200, 201}, 66},
        {"jump; break", {0, 1, 2, 1}, jumpThenBreak, {0, 1, 200, 201, 202, 307}, 62},
        {"pattern delay", {0}, {{0, 2, 0, 0xEE2}}, {0, 1, 2, 2, 2, 3}, 66},
        // ProTracker keeps the delay of the last channel that has one on the row.
        {"2 delays", {0}, {{0, 0, 0, 0xEE2}, {0, 0, 2, 0xEE6}}, {0, 0, 0, 0, 0, 0, 0, 1}, 70},
        {"delay, none", {0}, {{0, 0, 0, 0xEE6}, {0, 0, 2, 0xEE0}}, {0, 1}, 64},
        {"none, delay", {0}, {{0, 0, 0, 0xEE0}, {0, 0, 2, 0xEE3}}, {0, 0, 0, 0, 1}, 67},
        // A break or jump on a delayed row leads one row further.
        {"delayed break", {0, 1}, {{0, 0, 0, 0xEE1}, {0, 0, 1, 0xD02}}, {0, 0, 103, 104}, 63},
        {"delayed jump", {0, 1}, {{0, 0, 1, 0xB01}, {0, 0, 2, 0xEE1}}, {0, 0, 101, 102}, 65},
        // A second loop starts after the end of the first; looping is no return.
        {"loops", {0}, loops, {0, 1, 2, 3, 1, 2, 3, 1, 2, 3, 4, 5, 4, 5, 4, 5, 4, 5, 6}, 76},
        {"nested loops", {0}, nested, {0, 1, 2, 3, 2, 3, 4, 0, 1, 2, 3, 2, 3, 4, 5}, 73},
        {"loops end on a row", {0, 1}, twoLoopEnds, {0, 1, 2, 3, 0, 1, 2, 3, 4}, 132},
        // On the first pass the loop counter is set when the break is seen: it is ignored. On
        // the second the loop has finished before channel 1 breaks.
        {"break waits for a loop", {0, 1}, loopThenBreak, {0, 1, 2, 1, 2, 100}, 69},
        // ProTracker takes a break on a row that does not loop, even while a loop counts; the
        // rows it leads back to are the loop's second pass, not a return.
        {"break in a loop",
         {0, 1},
         breakInLoop,
         {0, 1, 2, 3, 100, 4, 5, 0, 1, 2, 3, 100, 4, 5, 6},
         72,
         1},
        {"ends when played twice", {0, 1}, {{1, 0, 0, 0xB00}}, {0}, 65, 1},
        {"loop limit", {0, 1}, {{1, 0, 0, 0xB00}}, {0}, 65 * 3, 3, threeLoops},
        // A jump to itself is allowed, but its first row was played; order 2 after it, never
        // played, is another tune.
        {"no back: revisit skipped", {0, 1, 2}, revisit, {0, 100, 101}, 3, 0, noBack},
        // The jump is taken; its target was played, so the song goes on after order 1: its end.
        {"no back: played target", {0, 1}, {{1, 0, 0, 0xB00}}, {0}, 65, 0, noBack},
        {"skips take no time", {0, 1}, {}, {100}, 64, 0, skipFirst},
        {"only skips", {0, 1}, {}, {}, 0, 0, skipBoth},
        {"restart", {0, 1}, {}, {0}, 128, 1, restartAt1},
        {"restart onto nothing", {0}, {}, {}, 0, 0, skipFirst},
        {"trailing empty", {0, 1, 1}, {{0, 0, 0, 0xF06}}, {0}, 192},
        {"trailing skipped", {0, 1, 1}, {{0, 0, 0, 0xF06}}, {0}, 64, 0, skipEmpty},
        // Pattern 1 is all zero: missing, it plays 64 silent rows.
        {"missing pattern", {1, 0}, {{1, 63, 0, 0xA01}}, {0, 1}, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ModBuilder song = ModBuilder().orders(c.orders);
        for (const Effect& e : c.effects)
            song.cell(e.pattern, e.row, e.channel, fx(e.command >> 8, e.command & 0xFF));
        RecordingMixer mixer;
        auto player = playMod(song, mixer, c.setup);
        ASSERT_TRUE(player);
        std::vector<uint32_t> played;
        for (const RowStep& s : traceRows(*player, 1000))
            played.push_back(s.order * 100 + s.row);
        EXPECT_EQ(played.size(), c.total);
        played.resize(std::min(played.size(), c.first.size()));
        EXPECT_EQ(played, c.first);
        EXPECT_EQ(player->loopReturnCount, c.returns);
    }
}

TEST(SpeedTempo, SetByEffectF) {
    // Below 32 the value is the speed, from there the tempo; the tick interval is 5 x rate /
    // (2 x tempo), kept even by the mixer. Old ProTracker mode takes every value as speed.
    // Parameter, old mode, speed, tempo, interval:
    const std::tuple<uint8_t, bool, int, int, uint32_t> cases[] = {
        {0xFF, false, 6, 255, 432}, {0x1F, false, 31, 125, 882}, {0x20, false, 6, 32, 3445},
        {0x00, false, 6, 125, 882}, {0x7D, true, 125, 125, 882}, {0x7D, false, 6, 125, 882}};
    for (const auto& [param, oldMode, speed, tempo, interval] : cases) {
        SCOPED_TRACE(param);
        RecordingMixer mixer;
        auto player = playMod(ModBuilder().cell(0, 0, 0, fx(0xF, param)), mixer);
        player->oldProTrackerMode = oldMode;
        playTick(*player);
        EXPECT_EQ(std::tuple(player->speed, player->tempo, mixer.slots[0].interval),
                  std::tuple(speed, tempo, interval));
        player->restartSong();
        player->configurePlayback(44100);
        EXPECT_EQ(mixer.slots[0].interval, 882u);
    }
}

TEST(SpeedTempo, TicksOfTheFirstRow) {
    // A speed applies to its own row; a pattern delay plays the row's ticks again, and with them
    // its tick effects: a delayed note starts on each pass.
    const std::vector<PlacedCell> delays = {{0, 0, note(25, 1, 0xE, 0xD2)}, {0, 1, fx(0xE, 0xE1)}};
    runTickCases({
        {"F02", {{0, 0, fx(0xF, 0x02)}}, "t0t0t0", Position, {0, 0, 1}},
        {"EE1", delays, "tttttttttttt0t0", Position, {0, 1}},
        {"ED2 beside EE1", delays, "ttt0ttt0ttt0ttt0", Starts, {1, 1, 2, 2}},
    });
}

TEST(RenderFrames, PreparesTheMixerCountsFramesAndPassesTheGain) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder(6, "6CHN"), mixer);
    EXPECT_EQ(std::tuple(mixer.mixingRate(), mixer.voiceCount()), std::tuple(44100, 6));
    EXPECT_EQ(mixer.slots[0].listener, player.get());
    player->gain = 307;
    RenderFormat options{.gain = 1};
    EXPECT_EQ(player->renderFrames(882 * 6, nullptr, &options), 882u * 6);
    EXPECT_EQ(mixer.lastGain, 307u);
    EXPECT_EQ(player->songPosition, 0u); // six ticks: row 0 complete
    player->renderFrames(882, nullptr, nullptr);
    EXPECT_EQ(std::tuple(player->songPosition, player->playedFrames), std::tuple(1, 882 * 7));
    // 64 rows of 6 ticks; the tick after them finds the end of the order list.
    EXPECT_EQ(player->renderFrames(0xFFFFFFFEu, nullptr, nullptr), 882u * (64 * 6 + 1 - 7));
    EXPECT_TRUE(player->isEnded());
}

TEST(SeekToFrame, ForwardPlaysOnBackwardRestartsTheTickGrid) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder(), mixer);
    player->seekToFrame(882 * 13 + 1);
    EXPECT_EQ(std::tuple(player->playedFrames, mixer.framesRendered, player->songPosition),
              std::tuple(882 * 13 + 1, 882 * 13, 2));
    player->seekToFrame(100);
    player->renderFrames(780, nullptr, nullptr);
    EXPECT_EQ(player->orderIndex, 0u); // frame 880: the first tick is still to come
    player->renderFrames(2, nullptr, nullptr);
    EXPECT_EQ(player->orderIndex, 1u); // frame 882, as on a fresh start
}

} // namespace
} // namespace tolva::test
