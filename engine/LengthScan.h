#pragma once
#include "engine/SongOptions.h"
#include "song/Song.h"

#include <cstdint>

namespace tolva {

class SongSession;

// What the length scan found out about a song under its options.
struct SongLength {
    uint32_t lengthMs = 0;      // what the playlist shows
    uint32_t startOffsetMs = 0; // leading silence that playback skips
    bool limitLength = false;   // playback stops at startOffsetMs + lengthMs
    bool looped = false;        // the song came back to a position it had played
    uint64_t scannedFrames = 0; // frames the song played until it ended or was cut
    OrderSet orders;            // the orders it played
};

// No real song plays this long without coming back. A song still playing then that never came
// back (endless pattern loops) is measured up to here and cut here when it plays, so a hostile
// file cannot keep the scan busy for long; one that comes back is measured over the passes its
// loop count asks for.
constexpr uint32_t MaxScanSeconds = 2 * 60 * 60;

// Plays the song through silently at full speed, at the options' mixing rate, to measure it,
// for at most `maxSeconds` of song time; leaves it rewound. The options must be those
// applyOptions gave the player.
SongLength scanLength(SongSession& session, const SongOptions& options,
                      uint32_t maxSeconds = MaxScanSeconds);

// Where playback of a scanned song stops, for Mixer::setLengthLimit (0: no limit).
uint32_t lengthLimitMs(const SongLength& length);

} // namespace tolva
