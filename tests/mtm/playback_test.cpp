#include "engine/Player.h"
#include "support/Mtm669Builders.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// The state of a channel after `rows` rows; -1 is not checked.
struct Check {
    uint32_t rows, channel;
    int32_t period, starts, volume = -1, sample = -1;
};

int32_t seen(int32_t expected, int64_t actual) {
    return expected < 0 ? -1 : int32_t(actual);
}

// Played with 18 square samples, sample i at volume 30 + i.
void expectTracks(const char* what, const std::vector<Check>& checks, MtmSong song) {
    SCOPED_TRACE(what);
    for (uint8_t i = 0; i < 18; ++i)
        song.samples.push_back(mtmSquare(32, static_cast<uint8_t>(30 + i)));
    RecordingMixer mixer;
    auto player = playMtm(song.build(), mixer);
    ASSERT_TRUE(player);
    uint32_t played = 0;
    for (const Check& check : checks) {
        for (; played < check.rows; ++played)
            playRow(*player);
        const Channel& ch = player->channel(check.channel);
        const int32_t sample = ch.sample == player->sample(uint32_t(check.sample));
        EXPECT_EQ((std::vector<int32_t>{seen(check.period, ch.period),
                                        seen(check.starts, mixer.voices[check.channel].starts),
                                        seen(check.volume, ch.volume), seen(check.sample, sample)}),
                  (std::vector<int32_t>{check.period, check.starts, check.volume,
                                        check.sample < 0 ? -1 : 1}))
            << check.rows << " rows, channel " << check.channel;
    }
}

TEST(MtmPlayback, SlotsPlayTheTracksTheirPatternsName) {
    // Track 1 holds notes at rows 0 and 3, track 2 one at row 1; pattern 1 swaps them.
    expectTracks("each slot reads its track",
                 {{1, 0, 428, 1},
                  {1, 1, -1, 0},
                  {2, 1, 856, 1},
                  {4, 0, 214, 2},
                  {65, 1, 428, 2},
                  {65, 0, -1, 2},
                  {66, 0, 856, 3}},
                 {.orders = {0, 1},
                  .cells = {{{1, 0}, {25, 1}}, {{1, 3}, {37, 1}}, {{2, 1}, {13, 1}}},
                  .patterns = {{1, 2}, {2, 1}}});
    expectTracks("one track plays in several slots",
                 {{1, 0, 428, 1}, {1, 1, -1, 0}, {1, 2, 428, 1}},
                 {.channels = 3, .cells = {{{1, 0}, {25, 1}}}, .patterns = {{1, 0, 1}}});
    expectTracks("the instrument number spans both cell bytes, the effect stays intact",
                 {{1, 0, 428, 1, 0x21, 16}},
                 {.cells = {{{1, 0}, {25, 17, 0xC, 0x21}}}, .patterns = {{1}}});
    expectTracks(
        "rows per track set the pattern length", {{32, 0, 428, 1}, {33, 0, 428, 2}},
        {.rowsPerTrack = 32, .orders = {0, 0}, .cells = {{{1, 0}, {25, 1}}}, .patterns = {{1}}});
    expectTracks("the pattern break row is a plain number", {{3, 0, -1, 0}, {4, 0, 428, 1}},
                 {.orders = {0, 1},
                  .cells = {{{1, 2}, {0, 0, 0xD, 0x12}}, {{2, 18}, {25, 1}}},
                  .patterns = {{1}, {2}}});
    expectTracks("a pattern without tracks plays empty rows and stops the last effect",
                 {{64, 0, -1, 1, 30 + 5 * 2}, {128, 0, -1, 1, 30 + 5 * 2}},
                 {.orders = {0, 1},
                  .cells = {{{1, 0}, {25, 1}}, {{1, 63}, {0, 0, 0xA, 0x20}}},
                  .patterns = {{1}, {}}});
    expectTracks("a note with instrument restarts under portamento with volume slide only",
                 {{2, 0, -1, 2}, {3, 0, -1, 2}, {4, 0, -1, 2}},
                 {.cells = {{{1, 0}, {25, 1}},
                            {{1, 1}, {30, 1, 0x5, 0x01}},
                            {{1, 2}, {35, 1, 0x3, 0x08}},
                            {{1, 3}, {40, 0, 0x5, 0x01}}},
                  .patterns = {{1}}});
}

} // namespace
} // namespace tolva::test
