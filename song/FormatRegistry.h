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

// The FormatHandlerCount entries in registry order, defined beside the format families.
FormatEntry* formatTable();

// The handler of registry entry `index`, or null past the table.
FormatHandler* formatHandler(uint32_t index);

// The name of a player's format type, which is its registry index; "" for an unknown one.
const char* formatName(uint32_t formatType);

void enableAllFormats();

// Why createPlayer gave no player.
enum class LoadFailure {
    None,
    NotAModule,         // no enabled handler took the file
    UnsupportedVersion, // a handler knew the format but not this version of it
    Damaged,            // the handler took the file and its loader refused it
    OutOfMemory,        // memory ran short while loading
    Unreadable,         // the file could not be opened
};

// Asks every enabled handler in registry order; the first that identifies the file loads it.
// The new player is rewound and its gain set from its defaultGain.
std::unique_ptr<Player> createPlayer(InputStream& stream, bool infoOnly, Mixer* mixer,
                                     LoadFailure* failure = nullptr);

} // namespace tolva
