#include "song/FormatRegistry.h"

#include "engine/Player.h"

namespace tolva {

namespace {
using Table = FormatHandler* [FormatHandlerCount];

const Table& registry() {
    static const Table table = {&modHandler(), &handler669(), &mtmHandler(),  &s3mHandler(),
                                &xmHandler(),  &itHandler(),  &mod15Handler()};
    return table;
}
} // namespace

FormatHandler* formatHandler(uint32_t index) {
    return index < FormatHandlerCount ? registry()[index] : nullptr;
}

void enableAllFormats() {
    for (FormatHandler* handler : registry())
        if (handler)
            handler->setEnabled(true);
}

std::unique_ptr<Player> createPlayer(InputStream& stream, bool infoOnly, Mixer* mixer,
                                     LoadFailure* failure) {
    LoadFailure why = LoadFailure::NotAModule;
    std::unique_ptr<Player> player;
    for (FormatHandler* handler : registry()) {
        if (!handler || !handler->isEnabled())
            continue;
        uint32_t result = handler->identify(stream);
        if (result == IdentifyUnsupported) {
            why = LoadFailure::UnsupportedVersion;
            break;
        }
        if (result != IdentifyMatch)
            continue;
        player = handler->create(stream, infoOnly, mixer);
        if (!player) {
            why = LoadFailure::Damaged;
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
