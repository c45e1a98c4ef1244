#pragma once
// A module loaded the way the plug-in loads it for playing (settings applied, length scanned),
// and the songs built for the length rules.
#include "formats/SongPipeline.h"
#include "settings/Settings.h"
#include "support/ModBuilder.h"

#include <cstdint>
#include <vector>

namespace tolva::test {

using ScannedSong = LoadedSong;

ScannedSong scanSong(const std::vector<uint8_t>& moduleBytes, const Settings& settings,
                     uint32_t maxSeconds = MaxScanSeconds);

// Plays the scanned song from its start in blocks of 576 16-bit frames until rendering stops or
// passes `maxFrames`; answers the frames rendered and, in `firstSound`, the first sounding (or -1).
uint32_t renderToEnd(ScannedSong& song, const Settings& settings, uint32_t maxFrames,
                     int64_t* firstSound = nullptr);

// The length songs: four-channel MODs at speed 6 and 125 BPM, notes a looped square at period 428
// (note 25). At 44100 Hz a tick is 882 frames, a row 5292 and a pattern 7680 ms; the first tick is
// at frame 0, so R rows end 882 x 6R frames in.
constexpr uint32_t framesForRows(uint32_t rows) {
    return 882 * 6 * rows;
}

inline std::vector<uint8_t>
lengthSong(std::vector<uint8_t> orders,
           std::initializer_list<std::tuple<uint32_t, uint32_t, uint32_t, ModCell>> cells) {
    ModBuilder b;
    b.sample(squareSample(32)).orders(std::move(orders));
    for (const auto& [pattern, row, channel, cell] : cells)
        b.cell(pattern, row, channel, cell);
    return b.build();
}

// Orders 0, 1: plays straight through, 128 rows.
inline std::vector<uint8_t> straightSong() {
    return lengthSong({0, 1}, {{0, 0, 0, note(25, 1)}, {1, 0, 1, note(25, 1)}});
}

// Orders 0, 1, 2; the last row of pattern 2 jumps back to order 1.
inline std::vector<uint8_t> jumpBackSong() {
    return lengthSong({0, 1, 2}, {{0, 0, 0, note(25, 1)},
                                  {1, 0, 1, note(25, 1)},
                                  {2, 0, 2, note(25, 1)},
                                  {2, 63, 3, fx(0xB, 1)}});
}

// Orders 0, 1, 2: row 15 of order 0 jumps to order 2, whose row 31 jumps back to order 1.
inline std::vector<uint8_t> jumpAroundSong() {
    return lengthSong({0, 1, 2},
                      {{0, 0, 0, note(25, 1)}, {0, 15, 3, fx(0xB, 2)}, {2, 31, 3, fx(0xB, 1)}});
}

// Order 0 only; its last row jumps to order 0 again.
inline std::vector<uint8_t> foreverSong() {
    return lengthSong({0}, {{0, 0, 0, note(25, 1)}, {0, 63, 3, fx(0xB, 0)}});
}

// One pattern whose rows 0..3 repeat twice more by a pattern loop: 72 rows.
inline std::vector<uint8_t> patternLoopSong() {
    return lengthSong({0},
                      {{0, 0, 0, note(25, 1)}, {0, 0, 3, fx(0xE, 0x60)}, {0, 3, 3, fx(0xE, 0x62)}});
}

// Orders 0, 1, 2 where patterns 1 and 2 hold nothing.
inline std::vector<uint8_t> trailingEmptySong() {
    return lengthSong({0, 1, 2}, {{0, 0, 0, note(25, 1)}});
}

// One pattern of 64 rows at 31 ticks a row and 32 BPM (2.5 minutes) that jumps back to its start.
inline std::vector<uint8_t> slowLoopSong() {
    return lengthSong(
        {0}, {{0, 0, 0, note(37, 1, 0xF, 0x20)}, {0, 0, 1, fx(0xF, 0x1F)}, {0, 63, 0, fx(0xB, 0)}});
}

// Six patterns (46.08 s) of silence but for one short unlooped note at order 3, row 0
// (23.04 s in), which sounds for about a quarter of a second.
inline std::vector<uint8_t> silentEdgesSong() {
    ModBuilder b(4, "M.K.");
    b.sample({"shot", squareSample(2000).data}).orders({0, 1, 2, 3, 4, 5});
    // An inaudible effect in each pattern, as patterns with nothing in them count as missing.
    for (uint32_t p = 0; p < 6; ++p)
        b.cell(p, 10, 3, fx(0xC, 0));
    return b.cell(3, 0, 0, note(25, 1)).build();
}

} // namespace tolva::test
