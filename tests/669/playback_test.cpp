#include "support/Mtm669Builders.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// Channel, sample, volume and voice starts after the last row.
struct Expected {
    uint32_t channel, sample, volume, starts;
};

// Played with 20 square samples and rows of 4 ticks, so an effect that works per tick acts
// three times a row. Note 25 has period 428.
void expectCells(const char* what, uint32_t rows, const std::vector<int32_t>& lastPeriods,
                 Expected end, Composer669Song song) {
    SCOPED_TRACE(what);
    song.tempo[0] = 4;
    for (int i = 0; i < 20; ++i)
        song.samples.push_back({"square.smp", unsignedSquare(32), 0, 32});
    RecordingMixer mixer;
    auto player = play669(song.build(), mixer);
    ASSERT_TRUE(player);
    std::vector<int32_t> periods;
    for (uint32_t row = 0; row < rows; ++row) {
        playRow(*player);
        periods.push_back(soundingPeriod(player->channel(end.channel)));
    }
    periods.erase(periods.begin(), periods.end() - lastPeriods.size());
    EXPECT_EQ(periods, lastPeriods);
    const Channel& ch = player->channel(end.channel);
    const RecordedVoice& voice = mixer.voices[end.channel];
    EXPECT_EQ((std::vector<int64_t>{ch.volume, voice.volume, voice.starts, voice.active}),
              (std::vector<int64_t>{end.volume, 2 * end.volume, end.starts, 1}));
    EXPECT_EQ(voice.data, player->sample(end.sample)->data);
}

TEST(Playback669, CellsAndEffects) {
    const Cell669 note = note669(25, 0, 8);
    expectCells("note cell", 1, {428}, {3, 1, 40, 1}, {.cells = {{{0, 0, 3}, note669(25, 1, 10)}}});
    expectCells("sample number spans both cell bytes", 1, {428}, {0, 17, 60, 1},
                {.cells = {{{0, 0, 0}, note669(25, 17, 15)}}});
    expectCells("volume-only cell", 2, {428}, {0, 0, 60, 1},
                {.cells = {{{0, 0, 0}, note669(25, 0, 2)}, {{0, 1, 0}, {{0xFE, 15, 0xFF}}}}});
    expectCells("unknown sample number keeps the previous sample", 2, {214}, {0, 4, 32, 2},
                {.cells = {{{0, 0, 0}, note669(25, 4, 8)}, {{0, 1, 0}, note669(37, 63, 8)}}});
    expectCells("empty cells leave the note playing", 10, {428}, {0, 0, 32, 1},
                {.cells = {{{0, 0, 0}, note}}});
    expectCells("portamento up runs over rows without effect until a note", 4, {419, 410, 401, 428},
                {0, 0, 32, 2}, {.cells = {{{0, 0, 0}, note.withEffect(0, 3)}, {{0, 3, 0}, note}}});
    expectCells("portamento down", 2, {434, 440}, {0, 0, 32, 1},
                {.cells = {{{0, 0, 0}, note.withEffect(1, 2)}}});
    expectCells("tone portamento slides to the note without restarting", 3, {428, 383, 381},
                {0, 0, 32, 1},
                {.cells = {{{0, 0, 0}, note}, {{0, 1, 0}, note669(27, 0, 8).withEffect(2, 15)}}});
    expectCells("frequency adjust slides once and stops the running effect", 3, {425, 420, 420},
                {0, 0, 32, 1},
                {.cells = {{{0, 0, 0}, note.withEffect(0, 1)}, {{0, 1, 0}, effect669(3, 5)}}});
    // Depth 1, the value as speed: sine 141 at position 6, 253 at 15 and 180 at 24, >> 7.
    expectCells("vibrato runs until a note", 4, {429, 429, 429, 428}, {0, 0, 32, 2},
                {.cells = {{{0, 0, 0}, note.withEffect(4, 3)}, {{0, 3, 0}, note}}});
    // Speed 15: sine 49 at position 30, 224 at 11 and -180 at 56.
    expectCells("vibrato swings below the period in its second half", 3, {428, 429, 426},
                {0, 0, 32, 1}, {.cells = {{{0, 0, 0}, note.withEffect(4, 15)}}});
    expectCells("effect without handler stops the running effect", 3, {419, 419, 419},
                {0, 0, 32, 1},
                {.cells = {{{0, 0, 0}, note.withEffect(0, 3)}, {{0, 1, 0}, effect669(7, 4)}}});
    expectCells("new effect replaces the running one", 3, {419, 422, 425}, {0, 0, 32, 1},
                {.cells = {{{0, 0, 0}, note.withEffect(0, 3)}, {{0, 1, 0}, effect669(1, 1)}}});
    expectCells("a missing pattern does not repeat the last effect", 128, {423}, {0, 0, 32, 1},
                {.orders = {0, 1},
                 .patternCount = 1,
                 .cells = {{{0, 0, 0}, note}, {{0, 63, 0}, effect669(3, 5)}}});
    expectCells("a stored pattern outside the order list is stepped over", 65, {428}, {0, 0, 60, 1},
                {.orders = {0, 2},
                 .cells = {{{0, 0, 0}, effect669(5, 1)},
                           {{1, 0, 0}, note669(13, 0, 15)},
                           {{2, 0, 0}, note669(25, 0, 15)}}});
}

// The ticks of each row until the song ends.
void expectTicks(const char* what, const std::vector<int>& ticks, const Composer669Song& song) {
    RecordingMixer mixer;
    auto player = play669(song.build(), mixer);
    ASSERT_TRUE(player);
    std::vector<int> seen;
    while (!player->ended && seen.size() < 1000) {
        int n = 0;
        do {
            player->onTick(0, 0);
            ++n;
        } while (player->tickCountdown != 1 && !player->ended);
        if (!player->ended)
            seen.push_back(n);
    }
    EXPECT_EQ(seen, ticks) << what;
}

TEST(Playback669, EachPatternPlaysItsTempoListSpeedForItsBreakRowPlusOneRows) {
    const std::vector<int> sixes(64, 6);
    expectTicks("tempo and break row per pattern", {3, 3, 5, 5, 5},
                {.orders = {0, 1}, .tempo = {{0, 3}, {1, 5}}, .breakRow = {{0, 1}, {1, 2}}});
    expectTicks("break row 31", sixes, {.orders = {0, 0}, .breakRow = {{0, 31}}});
    expectTicks("the speed effect holds until the next pattern", {4, 2, 2, 2, 4, 4},
                {.orders = {0, 1},
                 .tempo = {{0, 4}, {1, 4}},
                 .breakRow = {{0, 3}, {1, 1}},
                 .cells = {{{0, 1, 6}, effect669(5, 2)}}});
    expectTicks("break rows beyond the stored rows", sixes, {.breakRow = {{0, 200}}});
    expectTicks("tempo entry 0 keeps the speed playing", {3, 3, 3},
                {.orders = {0, 1}, .tempo = {{0, 3}, {1, 0}}, .breakRow = {{0, 0}, {1, 1}}});
    expectTicks("order byte FF ends the song", std::vector<int>(128, 1),
                {.orders = {0, 1, 0xFF, 0, 1},
                 .cells = {{{0, 0, 0}, effect669(5, 1)}, {{1, 0, 0}, effect669(5, 1)}}});
    // Pattern 129 has no tempo or break entry, 135 is not stored at all.
    expectTicks("patterns without data or list entries play as empty", std::vector<int>(192, 6),
                {.orders = {0, 129, 135}, .patternCount = 130});
}

} // namespace
} // namespace tolva::test
