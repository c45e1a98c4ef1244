#include "song/FormatRegistry.h"

#include "engine/Player.h"
#include "platform/Heap.h"

namespace tolva {

uint32_t FormatEntry::identify(InputStream& stream) {
    return identify_(stream);
}

std::unique_ptr<Player> FormatEntry::create(InputStream& stream, bool infoOnly, Mixer* mixer) {
    return load_(stream, infoOnly, mixer);
}

FormatHandler* formatHandler(uint32_t index) {
    return index < FormatHandlerCount ? &formatTable()[index] : nullptr;
}

const char* formatName(uint32_t formatType) {
    return formatType < FormatHandlerCount ? formatTable()[formatType].name : "";
}

void enableAllFormats() {
    for (uint32_t i = 0; i < FormatHandlerCount; ++i)
        formatTable()[i].setEnabled(true);
}

std::unique_ptr<Player> createPlayer(InputStream& stream, bool infoOnly, Mixer* mixer,
                                     LoadFailure* failure) {
    LoadFailure why = LoadFailure::NotAModule;
    const uint32_t failedBefore = platform::failedAllocations();
    std::unique_ptr<Player> player;
    for (uint32_t i = 0; i < FormatHandlerCount; ++i) {
        FormatHandler& handler = formatTable()[i];
        if (!handler.isEnabled())
            continue;
        uint32_t result = handler.identify(stream);
        if (result == IdentifyUnsupported) {
            why = LoadFailure::UnsupportedVersion;
            break;
        }
        if (result != IdentifyMatch)
            continue;
        player = handler.create(stream, infoOnly, mixer);
        if (!player) {
            why = platform::failedAllocations() != failedBefore ? LoadFailure::OutOfMemory
                                                                : LoadFailure::Damaged;
            break;
        }
        player->restartSong();
        player->gain = static_cast<int32_t>(player->defaultGain());
        why = LoadFailure::None;
        break;
    }
    if (failure)
        *failure = why;
    return player;
}

} // namespace tolva
