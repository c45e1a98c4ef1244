#include "formats/FormatRegistry.h"

#include "engine/Player.h"
#include "mixer/SoftwareMixer.h"
#include "platform/Heap.h"

#include <new>

namespace tolva {

std::unique_ptr<Player> createPlayer(InputStream& stream, const PlayerRequest& request,
                                     Mixer* mixer, LoadFailure* failure) {
    LoadFailure why = LoadFailure::NotAModule;
    const uint32_t failedBefore = platform::failedAllocations();
    std::unique_ptr<Player> player;
    for (const FormatRow& row : formatRows()) {
        if (!request.formats.contains(row.id))
            continue;
        uint32_t result = row.identify(stream);
        if (result == IdentifyUnsupported) {
            why = LoadFailure::UnsupportedVersion;
            break;
        }
        if (result != IdentifyMatch)
            continue;
        player = row.load(stream, request.infoOnly, mixer);
        if (!player) {
            why = platform::failedAllocations() != failedBefore ? LoadFailure::OutOfMemory
                                                                : LoadFailure::Damaged;
            break;
        }
        if (request.seed)
            player->random = Random(*request.seed);
        player->restartSong();
        player->gain = static_cast<int32_t>(player->defaultGain());
        why = LoadFailure::None;
        break;
    }
    if (failure)
        *failure = why;
    return player;
}

Probe probeFormat(InputStream& stream, bool whole) {
    for (const FormatRow& row : formatRows()) {
        const uint32_t result = row.identify(stream);
        if (result == IdentifyUnsupported)
            return {};
        if (result != IdentifyMatch)
            continue;
        if (row.confidence == 100 || row.load(stream, true, nullptr))
            return {row.id, row.confidence};
        // The start of a file may end before what the loader wants to see.
        if (!whole)
            return {row.id, static_cast<uint8_t>(row.confidence / 4)};
    }
    return {};
}

std::unique_ptr<SongSession> createSession(InputStream& stream, const PlayerRequest& request,
                                           LoadFailure* failure) {
    Mixer* mixer = createMixer();
    if (!mixer) {
        if (failure)
            *failure = LoadFailure::OutOfMemory;
        return nullptr;
    }
    std::unique_ptr<Player> player = createPlayer(stream, request, mixer, failure);
    // When the allocation fails the player is never moved from.
    std::unique_ptr<SongSession> session(
        player ? new (std::nothrow) SongSession(mixer, std::move(player)) : nullptr);
    if (session)
        return session;
    if (player && failure)
        *failure = LoadFailure::OutOfMemory;
    player.reset();
    destroyMixer(mixer);
    return nullptr;
}

} // namespace tolva
