#pragma once
#include "settings/Settings.h"

namespace tolva {

class Player;

// Hands the user's length, loop, MOD and amplification options to a new player. A player
// loaded only for its information never plays past its first loop.
void applySettings(Player& player, const Settings& settings, bool infoOnly);

// The output gain for a player: 256 x the amplification's linear gain x the player's
// default gain, truncated.
int32_t playerGain(Player& player, const Settings& settings);

} // namespace tolva
