#pragma once
#include "song/FormatHandler.h"

#include <cstdint>
#include <memory>

namespace tolva {

class InputStream;
class Mixer;
class Player;

// Registry order: MOD (31 samples), 669, MTM, S3M, XM, IT, MOD (15 samples). The settings'
// format switches follow the same order.
constexpr uint32_t FormatHandlerCount = 7;

// The handler of registry entry `index`, or null for an empty entry.
FormatHandler* formatHandler(uint32_t index);

void enableAllFormats();

// Why createPlayer gave no player.
enum class LoadFailure {
    None,
    NotAModule,         // no enabled handler took the file
    UnsupportedVersion, // a handler knew the format but not this version of it
    Damaged,            // the handler took the file and its loader refused it
    OutOfMemory,        // no mixer could be made
};

// Asks every enabled handler in registry order; the first that identifies the file loads it.
// The new player is rewound and its gain set from its defaultGain.
std::unique_ptr<Player> createPlayer(InputStream& stream, bool infoOnly, Mixer* mixer,
                                     LoadFailure* failure = nullptr);

} // namespace tolva
