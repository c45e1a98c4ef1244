#pragma once
// Plays a loaded song of the corpus to its end, listening to what it makes.
#include "engine/Player.h"
#include "mixer/SoftwareMixer.h"

#include <cstdint>

namespace tolva::test {

struct PlaybackResult {
    bool ended = false;  // the song reached its end within the time allowed
    uint32_t frames = 0; // frames rendered
    int32_t peak = 0;    // largest absolute 16-bit output value
};

// Restarts the player, configures it for `rate` Hz and renders 16-bit stereo until the song
// ends or `maxSeconds` of output have been made.
PlaybackResult playToEnd(Player& player, uint32_t rate, uint32_t maxSeconds);

} // namespace tolva::test
