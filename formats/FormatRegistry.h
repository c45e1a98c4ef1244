#pragma once
// Detection: the format rows asked in turn which of them a file belongs to.
#include "engine/SongSession.h"
#include "formats/FormatTable.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace tolva {

class InputStream;
class Mixer;
class Player;

// Why a load gave no song.
enum class LoadFailure {
    None,
    NotAModule,         // no enabled format took the file
    UnsupportedVersion, // a format knew the file but not this version of it
    Damaged,            // the format took the file and its loader refused it
    OutOfMemory,        // memory ran short while loading
    Unreadable,         // the file could not be opened
};

// How the registry loads a player.
struct PlayerRequest {
    FormatSet formats = FormatSet::all(); // the formats it may recognise
    bool infoOnly = false;                // no sample data
    std::optional<uint16_t> seed{};       // for the player's random generator
};

// Asks every enabled format in row order; the first that identifies the file loads it. The new
// player is seeded, rewound and its gain set from its defaultGain.
std::unique_ptr<Player> createPlayer(InputStream& stream, const PlayerRequest& request,
                                     Mixer* mixer, LoadFailure* failure = nullptr);

// What a look at the start of a file says without loading it.
struct Probe {
    uint32_t format = FormatCount; // a Format... id; FormatCount when none took it
    uint8_t confidence = 0;        // 0..100, as the row's confidence
};

// Asks the formats in row order about the stream, which may hold only the start of the file
// (`whole` false): a format with a weak signature or none must then also load from it without
// its sample data.
Probe probeFormat(InputStream& stream, bool whole);

// A new mixer and the player of the first format that takes the stream; none when the mixer
// cannot be made or no player results (`failure` tells why).
std::unique_ptr<SongSession> createSession(InputStream& stream, const PlayerRequest& request,
                                           LoadFailure* failure = nullptr);

} // namespace tolva
