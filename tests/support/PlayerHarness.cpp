#include "support/PlayerHarness.h"

#include "formats/mod/ModLoader.h"
#include "song/MemoryStream.h"

namespace tolva::test {

std::unique_ptr<Player> ready(std::unique_ptr<Player> player) {
    if (player) {
        player->restartSong();
        player->configurePlayback(44100);
    }
    return player;
}

std::unique_ptr<Player> playMod(const ModBuilder& song, RecordingMixer& mixer,
                                void (*setup)(Player&)) {
    MemoryStream stream(song.build());
    auto player = ready(loadMod(stream, false, &mixer));
    if (player && setup)
        setup(*player);
    return player;
}

std::vector<RowStep> traceRows(Player& player, uint32_t maxRows) {
    std::vector<RowStep> rows;
    while (rows.size() < maxRows) {
        const bool rowStarts = player.tickCountdown == 1;
        if (!player.onTick(0, 0))
            break;
        if (rowStarts)
            rows.push_back({player.songPosition >> 8, player.songPosition & 0xFF});
    }
    return rows;
}

void playRow(Player& player) {
    do
        player.onTick(0, 0);
    while (player.tickCountdown != 1 && !player.ended);
}

} // namespace tolva::test
