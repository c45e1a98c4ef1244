#pragma once
// Loading a built XM into a player ready to play; the stepping helpers of PlayerHarness apply.
#include "formats/xm/XmPlayer.h"
#include "support/PlayerHarness.h"
#include "support/RecordingMixer.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tolva::test {

// An XM loaded from bytes with its samples, rewound and configured for 44100 Hz; null when
// the loader refused it.
std::unique_ptr<XmPlayer> playXm(const std::vector<uint8_t>& bytes, RecordingMixer& mixer);

// Runs `count` ticks.
void playTicks(Player& player, uint32_t count);

} // namespace tolva::test
