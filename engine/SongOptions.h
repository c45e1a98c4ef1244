#pragma once
// Everything that changes how a song sounds or how long it plays, as one plain value that
// travels with the song. Front ends fill it from their own settings.
#include "mixer/Voice.h"

#include <cstdint>
#include <optional>

namespace tolva {

class Player;

// How the end of a song is found.
enum class LengthRule : uint8_t {
    NoBackwardJumps, // a jump back to a played position goes on after it instead
    DetectLoop,      // a jump back is followed; the song ends when it comes back
};

// Under LengthRule::DetectLoop, what plays after the song first comes back.
enum class LoopRule : uint8_t {
    Once,    // nothing: the song ends there
    Count,   // loopCount passes in all
    Seconds, // extraSeconds more of looping
};

struct SongOptions {
    uint32_t rate = 44100; // mixing rate in Hz
    LengthRule lengthRule = LengthRule::NoBackwardJumps;
    LoopRule loops = LoopRule::Once;
    uint32_t loopCount = 1;
    uint32_t extraSeconds = 0;
    bool removeSilence = false;          // leading silence skipped, trailing silence cut...
    uint32_t trailingSilenceSeconds = 1; // ...to this much after the last sound
    bool skipTrailingEmptyPatterns = false;
    bool oldProTrackerMode = false;
    bool modPanning = false; // MOD files may set panning (8xx, E8x)
    int16_t amp = 0;         // amplification in hundredths of a decibel, -1500..1500
    // The render format's defaults for the song; a render call may ask for others.
    Interpolation interpolation = Interpolation::Linear;
    bool mono = false;
    bool reverseStereo = false;
    uint16_t stereoSeparation = 100; // percent, 0 (mono) to 200
    uint64_t mutedChannels = 0;      // bit n silences channel n (from 0)
    // Starts the song's random generator (IT's random variations, random waveforms) so that
    // renders repeat; none seeds it from the clock.
    std::optional<uint16_t> seed{};

    bool operator==(const SongOptions&) const = default;
};

// Hands the length, loop, MOD and amplification options to a new player. A player loaded only
// for its information never plays past its first loop.
void applyOptions(Player& player, const SongOptions& options, bool infoOnly);

// The output gain for a player: 256 x the amplification's linear gain x the player's
// default gain, truncated.
int32_t playerGain(Player& player, int16_t amp);

} // namespace tolva
