#pragma once
// A module loaded the way the plug-in loads it for playing (settings applied, length scanned),
// and the songs built for the length rules.
#include "engine/SongPipeline.h"

#include <cstdint>
#include <vector>

namespace tolva::test {

using ScannedSong = LoadedSong;

ScannedSong scanSong(const std::vector<uint8_t>& moduleBytes, const Settings& settings,
                     uint32_t maxSeconds = MaxScanSeconds);

// Plays the scanned song from its start (after any leading silence) in blocks of 576 frames of
// 16-bit output until rendering stops or `maxFrames` have been rendered; answers the frames
// rendered and, in `firstSound`, the first frame that was not silent (-1: none).
uint32_t renderToEnd(ScannedSong& song, const Settings& settings, uint32_t maxFrames,
                     int64_t* firstSound = nullptr);

// The length songs: four-channel MODs at speed 6 and 125 BPM. At 44100 Hz a tick is 882 frames,
// a row 5292 frames and a pattern 7680 ms; the first tick is at frame 0, so a song of R rows
// ends at the tick after its last row, 882 x 6R frames in.
constexpr uint32_t framesForRows(uint32_t rows) {
    return 882 * 6 * rows;
}

// Orders 0, 1: plays straight through, 128 rows.
std::vector<uint8_t> straightSong();
// Orders 0, 1, 2; the last row of pattern 2 jumps back to order 1.
std::vector<uint8_t> jumpBackSong();
// Orders 0, 1, 2: row 15 of order 0 jumps to order 2, whose row 31 jumps back to order 1.
std::vector<uint8_t> jumpAroundSong();
// Order 0 only; its last row jumps to order 0 again.
std::vector<uint8_t> foreverSong();
// One pattern whose rows 0..3 repeat twice more by a pattern loop: 72 rows.
std::vector<uint8_t> patternLoopSong();
// Orders 0, 1, 2 where patterns 1 and 2 hold nothing.
std::vector<uint8_t> trailingEmptySong();
// One pattern of 64 rows at 31 ticks per row and 32 beats per minute (2.5 minutes) that jumps
// back to its start.
std::vector<uint8_t> slowLoopSong();
// Six patterns (46.08 s) of silence but for one short unlooped note at order 3, row 0
// (23.04 s in), which sounds for about a quarter of a second.
std::vector<uint8_t> silentEdgesSong();

} // namespace tolva::test
