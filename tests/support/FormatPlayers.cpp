#include "support/FormatPlayers.h"

#include "formats/mtm669/Loader669.h"
#include "formats/mtm669/MtmLoader.h"
#include "song/MemoryStream.h"

namespace tolva::test {

namespace {

std::unique_ptr<Player> ready(std::unique_ptr<Player> player) {
    if (player) {
        player->restartSong();
        player->configurePlayback(44100);
    }
    return player;
}

} // namespace

std::unique_ptr<Player> playMtm(const std::vector<uint8_t>& bytes, RecordingMixer& mixer) {
    MemoryStream stream(bytes);
    return ready(loadMtm(stream, false, &mixer));
}

std::unique_ptr<Player> play669(const std::vector<uint8_t>& bytes, RecordingMixer& mixer) {
    MemoryStream stream(bytes);
    return ready(load669(stream, false, &mixer));
}

} // namespace tolva::test
