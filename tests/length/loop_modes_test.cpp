#include "engine/Player.h"
#include "support/ScannedSong.h"

#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::test;

namespace {

constexpr uint32_t Rate = 44100;
constexpr uint32_t Plenty = 20 * 60 * Rate;

Settings mode(uint32_t lengthMode, bool extraPlayTime, bool loopByCount, uint32_t loopCount,
              uint32_t extraLoopSeconds, bool stripTrailingEmpty = false) {
    return {.lengthMode = lengthMode,
            .loopCount = loopCount,
            .extraLoopSeconds = extraLoopSeconds,
            .stripTrailingEmptyPatterns = stripTrailingEmpty,
            .loopByCount = loopByCount,
            .extraPlayTime = extraPlayTime};
}

const Settings NoBack = mode(LengthNoBackwardJumps, true, true, 3, 10);
const Settings FirstReturn = mode(LengthDetectLoop, false, true, 3, 10);
const Settings CountTwo = mode(LengthDetectLoop, true, true, 2, 0);
const Settings CountThree = mode(LengthDetectLoop, true, true, 3, 0);
const Settings ExtraTen = mode(LengthDetectLoop, true, false, 1, 10);
const Settings ExtraNone = mode(LengthDetectLoop, true, false, 1, 0);
const Settings StripNoBack = mode(LengthNoBackwardJumps, true, true, 3, 10, true);
const Settings StripCountThree = mode(LengthDetectLoop, true, true, 3, 0, true);

struct LengthCase {
    std::vector<uint8_t> (*song)();
    std::vector<Settings> settings; // each giving the same length
    uint32_t lengthMs;
    bool looped;
};

// 128 rows last 15360 ms, 72 rows 8640 ms, 192 rows 23040 ms. Playback renders the length
// measured, 44.1 frames a millisecond, and stops.
const LengthCase lengthCases[] = {
    {straightSong, {NoBack, FirstReturn, CountThree, ExtraTen, StripCountThree}, 15360, false},
    // A pattern loop never counts as a return.
    {patternLoopSong, {NoBack, FirstReturn, CountThree, ExtraTen}, 8640, false},
    // The jump to order 1 is skipped, and order 2 was played: the song ends after 192 rows.
    {jumpBackSong, {NoBack}, 23040, false},
    // Ends where it would play order 1 again.
    {jumpBackSong, {FirstReturn, ExtraNone}, 23040, true},
    // Two returns: orders 0, 1, 2, 1, 2.
    {jumpBackSong, {CountTwo}, 38400, true},
    // The first return plus ten seconds; playback loops on and is cut there.
    {jumpBackSong, {ExtraTen}, 33040, true},
    // Order 1 was never played, so the jump back plays it; order 2 was: 16 + 32 + 64 rows.
    {jumpAroundSong, {NoBack}, 13440, false},
    {jumpAroundSong, {FirstReturn}, 13440, true},
    {foreverSong, {NoBack}, 7680, false},
    {foreverSong, {FirstReturn}, 7680, true},
    {foreverSong, {CountThree}, 23040, true},
    {foreverSong, {ExtraTen}, 17680, true},
    // Trailing patterns without data go only when asked.
    {trailingEmptySong, {NoBack}, 23040, false},
    {trailingEmptySong, {StripNoBack, StripCountThree}, 7680, false},
};

} // namespace

TEST(LoopModes, LengthAndPlaybackUnderEachMode) {
    for (const LengthCase& c : lengthCases) {
        for (const Settings& settings : c.settings) {
            SCOPED_TRACE(testing::Message() << "case " << (&c - lengthCases) << ", settings "
                                            << (&settings - c.settings.data()));
            ScannedSong scanned = scanSong(c.song(), settings);
            ASSERT_TRUE(scanned.session);
            EXPECT_EQ(scanned.length.lengthMs, c.lengthMs);
            EXPECT_EQ(scanned.length.startOffsetMs, 0u);
            EXPECT_EQ(scanned.length.looped, c.looped);
            EXPECT_EQ(scanned.length.limitLength, c.looped);
            EXPECT_EQ(renderToEnd(scanned, settings, Plenty), c.lengthMs * 441 / 10);
        }
    }
}

TEST(LoopModes, ExtraTimePlaysIntoTheSecondPassAndStops) {
    ScannedSong scanned = scanSong(jumpBackSong(), ExtraTen);
    ASSERT_TRUE(scanned.session);
    renderToEnd(scanned, ExtraTen, Plenty);
    const Player& player = scanned.session->player();
    // 441000 frames (500 ticks) after the return to order 1, row 0: 83 rows on, which is
    // row 19 of order 2.
    EXPECT_EQ(std::tuple(player.songPosition, player.loopReturnCount), std::tuple(2 * 256 + 19, 1));
}

TEST(LoopModes, LoopCountsPlayPastTheScanBound) {
    // Five passes of 7.68 s each, although the scan is bounded at 20 s; a song that never
    // comes back is still cut there.
    Settings settings = CountThree;
    settings.loopCount = 5;
    EXPECT_EQ(scanSong(foreverSong(), settings, 20).length.lengthMs, 38400u);
    ScannedSong endless = scanSong(patternLoopSong(), CountThree, 5);
    EXPECT_EQ(endless.length.lengthMs, 5000u);
    EXPECT_TRUE(endless.length.limitLength);
    // The song comes back every pass, so its passes are measured past the two-hour bound, up
    // to the 0xFFFFFFFE frames the counters hold: 97391.548 s at 44100 Hz.
    for (uint32_t count : {MaxLoopCount, 0xFFFFFFFFu}) {
        settings.loopCount = count;
        ScannedSong song = scanSong(slowLoopSong(), settings);
        ASSERT_TRUE(song.session);
        EXPECT_EQ(std::tuple(song.length.lengthMs, song.length.limitLength),
                  std::tuple(97391548, true));
        EXPECT_EQ(lengthLimitMs(song.length), 97391548u);
        EXPECT_EQ(song.session->player().playedFrames, 0u); // rewound for playing
    }
    // Three passes of 64 rows x 31 ticks, a tick being 5 x 44100 / 64 frames; the first ticks
    // run before the tempo change.
    settings.loopCount = 3;
    const uint64_t frames = 3ull * 64 * 31 * (5 * 44100 / 64);
    EXPECT_NEAR(scanSong(slowLoopSong(), settings).length.lengthMs, frames * 1000 / 44100, 500);
}

TEST(LoopModes, LengthFollowsTheMixingRate) {
    for (uint32_t rate : {11025u, 22050u, 48000u, 96000u}) {
        const Settings settings{.mixingFrequency = rate};
        ScannedSong scanned = scanSong(straightSong(), settings);
        ASSERT_TRUE(scanned.session);
        // 768 ticks; at 22050 Hz the 441-frame tick alternates 440 and 442.
        const uint32_t tick = 5 * rate / 250;
        EXPECT_EQ(scanned.length.lengthMs, tick * 768ull * 1000 / rate) << rate;
        EXPECT_EQ(renderToEnd(scanned, settings, Plenty), tick * 768) << rate;
    }
}
