#include "engine/SongSettings.h"

#include "engine/Player.h"
#include "settings/GainTable.h"

namespace tolva {

int32_t playerGain(Player& player, const Settings& settings) {
    float decibels = static_cast<float>(settings.amp) / 100.0f;
    return static_cast<int32_t>(256.0f * ampToGain(decibels) * player.defaultGain());
}

void applySettings(Player& player, const Settings& settings, bool infoOnly) {
    if (settings.lengthMode == LengthDetectLoop) {
        player.songFlags &= ~SongNoBackwardJumps;
        if (!settings.extraPlayTime)
            player.maxLoops = 1;
        else if (settings.loopByCount)
            player.maxLoops = settings.loopCount;
        else
            player.maxLoops = infoOnly ? 1 : NoLoopLimit;
    } else {
        player.songFlags |= SongNoBackwardJumps;
    }
    if (settings.stripTrailingEmptyPatterns)
        player.songFlags |= SongSkipTrailingEmpty;
    else
        player.songFlags &= ~SongSkipTrailingEmpty;
    player.oldProTrackerMode = settings.oldProTrackerMode != 0;
    player.modPanningEnabled = settings.disableModPanning == 0;
    player.gain = playerGain(player, settings);
}

} // namespace tolva
