#include "engine/PlaybackStart.h"
#include "engine/Player.h"
#include "support/LengthSongs.h"
#include "support/ModBuilder.h"
#include "support/ScannedSong.h"

#include <algorithm>
#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::test;

namespace {

constexpr uint32_t Rate = 44100;
// The note starts on tick 1152 (row 192): 1016064 frames, 23.04 s in. The silence detector
// looks once a second and first sees it at 24 s.
constexpr uint32_t NoteFrame = framesForRows(192);

Settings removing(uint32_t trailingSeconds) {
    Settings s;
    s.removeSilence = 1;
    s.trailingSilenceSeconds = trailingSeconds;
    return s;
}

// The index of the first frame with sound, or -1.
int64_t firstSound(ScannedSong& song, uint32_t frames) {
    std::vector<int16_t> out(frames * 2);
    RenderFormat format;
    uint32_t done = 0;
    while (done < frames) {
        uint32_t n = song.session->renderFrames(std::min(576u, frames - done),
                                                out.data() + 2 * done, &format);
        if (n == 0)
            break;
        done += n;
    }
    for (uint32_t i = 0; i < done * 2; ++i)
        if (out[i] != 0)
            return i / 2;
    return -1;
}

} // namespace

TEST(SilenceRemoval, KeepsEverythingWhenOff) {
    Settings settings;
    ScannedSong song = scanSong(silentEdgesSong(), settings);
    ASSERT_TRUE(song.session);
    EXPECT_EQ(song.length.startOffsetMs, 0u);
    EXPECT_EQ(song.length.lengthMs, 46080u);
    EXPECT_FALSE(song.length.limitLength);
}

TEST(SilenceRemoval, StartsWithinASecondOfTheFirstSoundAndKeepsTheTrailingSilenceAsked) {
    Settings settings = removing(1);
    ScannedSong song = scanSong(silentEdgesSong(), settings);
    ASSERT_TRUE(song.session);
    // Playback starts at the beginning of the second in which the note first sounded.
    EXPECT_EQ(song.length.startOffsetMs, 23000u);
    // The last second with sound ends at 24 s; one more second of silence is kept.
    EXPECT_EQ(song.length.lengthMs, 2000u);
    EXPECT_TRUE(song.length.limitLength);
    EXPECT_FALSE(song.length.looped);
    EXPECT_EQ(renderToEnd(song, settings, 0xFFFFFFFFu), 2 * Rate);

    ScannedSong again = scanSong(silentEdgesSong(), settings);
    ASSERT_TRUE(again.session);
    startPlayback(*again.session, again.length, Rate);
    int64_t first = firstSound(again, Rate);
    const int64_t noteFrame = NoteFrame - 23 * Rate;
    EXPECT_GE(first, noteFrame);
    EXPECT_LT(first, noteFrame + 64);
}

TEST(SilenceRemoval, TrailingSilenceIsCutToTheSecondsAsked) {
    Settings none = removing(0);
    ScannedSong tight = scanSong(silentEdgesSong(), none);
    ASSERT_TRUE(tight.session);
    EXPECT_EQ(tight.length.startOffsetMs, 23000u);
    EXPECT_EQ(tight.length.lengthMs, 1000u);

    // More trailing seconds than the song has: it ends where it ends.
    Settings generous = removing(MaxSilenceOrExtraSeconds);
    ScannedSong whole = scanSong(silentEdgesSong(), generous);
    ASSERT_TRUE(whole.session);
    EXPECT_EQ(whole.length.lengthMs, 46080u - 23000u);
    EXPECT_EQ(renderToEnd(whole, generous, 0xFFFFFFFFu), framesForRows(384) - 23 * Rate);
}

TEST(SilenceRemoval, EndlessLoopingKeepsItsTrailingPart) {
    Settings settings = removing(0);
    settings.lengthMode = LengthDetectLoop;
    settings.extraPlayTime = 1;
    settings.loopByCount = 0;
    settings.extraLoopSeconds = 3;
    ScannedSong song = scanSong(silentEdgesSong(), settings);
    ASSERT_TRUE(song.session);
    EXPECT_EQ(song.length.startOffsetMs, 23000u);
    // No return happened, so no extra seconds either.
    EXPECT_FALSE(song.length.looped);
    EXPECT_EQ(song.length.lengthMs, 46080u - 23000u);
}

TEST(SilenceRemoval, SoundFromTheFirstSecondToTheEndKeepsTheWholeSong) {
    Settings settings = removing(2);
    // A looped tone from 20 ms to the end.
    ScannedSong song = scanSong(trailingEmptySong(), settings);
    ASSERT_TRUE(song.session);
    EXPECT_EQ(song.length.startOffsetMs, 0u);
    EXPECT_EQ(song.length.lengthMs, 23040u);
}

TEST(SilenceRemoval, ANoteStartingJustBeforeAWholeSecondKeepsItsAttack) {
    // Row 8 with a note delayed by one tick starts on tick 49, 882 frames before 1 s; its voice
    // fades in from silence over that last tick.
    ModSampleDef tone = squareSample(64);
    ScannedSong song = scanSong(ModBuilder(4, "M.K.")
                                    .sample(tone)
                                    .orders({0})
                                    .cell(0, 8, 0, note(25, 1, 0xE, 0xD1))
                                    .build(),
                                removing(2));
    ASSERT_TRUE(song.session);
    EXPECT_EQ(song.length.startOffsetMs, 0u);
}

TEST(SilenceRemoval, SongThatNeverSoundsKeepsOnlyItsTrailingSilence) {
    Settings settings = removing(2);
    ScannedSong song = scanSong(ModBuilder(4, "M.K.")
                                    .orders({0, 1})
                                    .cell(0, 10, 3, fx(0xC, 0))
                                    .cell(1, 10, 3, fx(0xC, 0))
                                    .build(),
                                settings);
    ASSERT_TRUE(song.session);
    EXPECT_EQ(song.length.startOffsetMs, 0u);
    EXPECT_EQ(song.length.lengthMs, 2000u);
}
