#pragma once
// Loading built MTM and 669 modules into players ready to play, as playMod does for MOD.
#include "engine/Player.h"
#include "support/RecordingMixer.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tolva::test {

// Loaded from bytes with their samples, rewound and configured for 44100 Hz; null when the
// loader refuses the bytes.
std::unique_ptr<Player> playMtm(const std::vector<uint8_t>& bytes, RecordingMixer& mixer);
std::unique_ptr<Player> play669(const std::vector<uint8_t>& bytes, RecordingMixer& mixer);

} // namespace tolva::test
