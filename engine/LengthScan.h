#pragma once
#include "settings/Settings.h"

#include <cstdint>

namespace tolva {

class SongSession;

// What the length scan found out about a song under the user's settings.
struct SongLength {
    uint32_t lengthMs = 0;      // what the playlist shows
    uint32_t startOffsetMs = 0; // leading silence that playback skips
    bool limitLength = false;   // playback stops at startOffsetMs + lengthMs
    bool looped = false;        // the song came back to a position it had played
};

// Plays the song through silently at full speed, at the settings' mixing rate, to measure it;
// leaves it rewound. The settings must be those applySettings gave the player.
SongLength scanLength(SongSession& session, const Settings& settings);

// Where playback of a scanned song stops, for Mixer::setLengthLimit (0: no limit).
uint32_t lengthLimitMs(const SongLength& length);

} // namespace tolva
