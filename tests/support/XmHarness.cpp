#include "support/XmHarness.h"

#include "formats/xm/XmLoader.h"
#include "song/MemoryStream.h"

namespace tolva::test {

std::unique_ptr<XmPlayer> playXm(const std::vector<uint8_t>& bytes, RecordingMixer& mixer) {
    MemoryStream stream(bytes);
    std::unique_ptr<Player> loaded = loadXm(stream, false, &mixer);
    if (!loaded)
        return nullptr;
    std::unique_ptr<XmPlayer> player(static_cast<XmPlayer*>(loaded.release()));
    player->restartSong();
    player->configurePlayback(44100);
    return player;
}

void playTicks(Player& player, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i)
        player.onTick(0, 0);
}

} // namespace tolva::test
