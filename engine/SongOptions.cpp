#include "engine/SongOptions.h"

#include "engine/GainTable.h"
#include "engine/Player.h"

namespace tolva {

int32_t playerGain(Player& player, int16_t amp) {
    float decibels = static_cast<float>(amp) / 100.0f;
    return static_cast<int32_t>(256.0f * ampToGain(decibels) * player.defaultGain());
}

void applyOptions(Player& player, const SongOptions& options, bool infoOnly) {
    if (options.lengthRule == LengthRule::DetectLoop) {
        player.songFlags &= ~SongNoBackwardJumps;
        if (options.loops == LoopRule::Once)
            player.maxLoops = 1;
        else if (options.loops == LoopRule::Count)
            player.maxLoops = options.loopCount;
        else
            player.maxLoops = infoOnly ? 1 : NoLoopLimit;
    } else {
        player.songFlags |= SongNoBackwardJumps;
    }
    if (options.skipTrailingEmptyPatterns)
        player.songFlags |= SongSkipTrailingEmpty;
    else
        player.songFlags &= ~SongSkipTrailingEmpty;
    player.oldProTrackerMode = options.oldProTrackerMode;
    player.modPanningEnabled = options.modPanning;
    player.gain = playerGain(player, options.amp);
}

} // namespace tolva
