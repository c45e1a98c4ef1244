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

TEST(SilenceRemoval, StartAndLength) {
    Settings looping = removing(0);
    looping.lengthMode = LengthDetectLoop;
    looping.extraPlayTime = 1;
    looping.loopByCount = 0;
    looping.extraLoopSeconds = 3;
    // Row 8 with a note delayed by one tick starts on tick 49, 882 frames before 1 s; its voice
    // fades in from silence over that last tick.
    const std::vector<uint8_t> lateAttack =
        ModBuilder().sample(squareSample(64)).cell(0, 8, 0, note(25, 1, 0xE, 0xD1)).build();
    const std::vector<uint8_t> silent =
        ModBuilder().orders({0, 1}).cell(0, 10, 3, fx(0xC, 0)).cell(1, 10, 3, fx(0xC, 0)).build();
    // Playback starts at the beginning of the second in which the note first sounded; the
    // last second with sound ends at 24 s, and as many seconds of silence as asked are kept
    // after it, as far as the song goes.
    const struct {
        const char* what;
        std::vector<uint8_t> song;
        Settings settings;
        uint32_t startMs, lengthMs;
    } cases[] = {
        {"off", silentEdgesSong(), Settings{}, 0, 46080},
        {"one trailing second", silentEdgesSong(), removing(1), 23000, 2000},
        {"no trailing second", silentEdgesSong(), removing(0), 23000, 1000},
        {"more than the song has", silentEdgesSong(), removing(MaxSilenceOrExtraSeconds), 23000,
         46080 - 23000},
        // No return happens, so no extra seconds either.
        {"looping", silentEdgesSong(), looping, 23000, 46080 - 23000},
        {"sound from 20 ms to the end", trailingEmptySong(), removing(2), 0, 23040},
        {"attack just before a second", lateAttack, removing(2), 0, 7680},
        {"never sounds", silent, removing(2), 0, 2000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScannedSong song = scanSong(c.song, c.settings);
        ASSERT_TRUE(song.session);
        EXPECT_EQ(song.length.startOffsetMs, c.startMs);
        EXPECT_EQ(song.length.lengthMs, c.lengthMs);
        EXPECT_FALSE(song.length.looped);
        EXPECT_EQ(song.length.limitLength, c.settings.removeSilence != 0); // cut at the length
    }
}

TEST(SilenceRemoval, PlaybackStartsBeforeTheNoteAndStopsAtTheLength) {
    Settings settings = removing(1);
    ScannedSong song = scanSong(silentEdgesSong(), settings);
    ASSERT_TRUE(song.session);
    EXPECT_EQ(renderToEnd(song, settings, 0xFFFFFFFFu), 2 * Rate);
    Settings generous = removing(MaxSilenceOrExtraSeconds);
    ScannedSong whole = scanSong(silentEdgesSong(), generous);
    ASSERT_TRUE(whole.session);
    EXPECT_EQ(renderToEnd(whole, generous, 0xFFFFFFFFu), framesForRows(384) - 23 * Rate);

    ScannedSong again = scanSong(silentEdgesSong(), settings);
    ASSERT_TRUE(again.session);
    startPlayback(*again.session, again.length, Rate);
    const int64_t first = firstSound(again, Rate);
    const int64_t noteFrame = NoteFrame - 23 * Rate;
    EXPECT_GE(first, noteFrame);
    EXPECT_LT(first, noteFrame + 64);
}
