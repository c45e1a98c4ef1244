#include "support/PlayerHarness.h"

#include "formats/mod/ModLoader.h"
#include "song/MemoryStream.h"

#include <gtest/gtest.h>

namespace tolva::test {

std::unique_ptr<Player> playMod(const std::vector<uint8_t>& bytes, RecordingMixer& mixer) {
    MemoryStream stream(bytes);
    std::unique_ptr<Player> player = loadMod(stream, false, &mixer);
    if (player) {
        player->restartSong();
        player->configurePlayback(44100);
    }
    return player;
}

std::vector<RowStep> traceRows(Player& player, uint32_t maxRows) {
    std::vector<RowStep> rows;
    while (rows.size() < maxRows) {
        const bool rowStarts = player.tickCountdown == 1;
        const bool going = player.onTick(0, 0);
        if (!going)
            break;
        if (rowStarts)
            rows.push_back({player.songPosition >> 8, player.songPosition & 0xFF});
    }
    return rows;
}

std::vector<uint32_t> rowsOf(const std::vector<RowStep>& steps) {
    std::vector<uint32_t> rows;
    for (const RowStep& s : steps)
        rows.push_back(s.row);
    return rows;
}

void append(std::vector<uint32_t>& rows, uint32_t first, uint32_t last) {
    for (uint32_t r = first; r <= last; ++r)
        rows.push_back(r);
}

void playRow(Player& player) {
    do
        player.onTick(0, 0);
    while (player.tickCountdown != 1 && !player.ended);
}

void playTick(Player& player) {
    player.onTick(0, 0);
}

int32_t soundingPeriod(const Channel& channel) {
    return channel.period + channel.slideOffset + channel.vibratoOffset + channel.arpeggioOffset;
}

std::vector<int32_t> rowPeriods(Player& player) {
    std::vector<int32_t> out;
    for (int tick = 0; tick < player.speed; ++tick) {
        playTick(player);
        out.push_back(soundingPeriod(player.channel(0)));
    }
    return out;
}

void runTickCases(const std::vector<TickCase>& cases) {
    for (const TickCase& c : cases) {
        SCOPED_TRACE(c.what);
        ModBuilder song;
        for (const ModSampleDef& s : c.samples)
            song.sample(s);
        for (const PlacedCell& p : c.cells)
            song.cell(0, p.row, p.channel, p.cell);
        RecordingMixer mixer;
        auto player = playMod(song.build(), mixer);
        ASSERT_TRUE(player);
        if (c.setup)
            c.setup(*player);
        std::vector<int32_t> seen;
        for (const char* s = c.script; *s; ++s) {
            if (*s == 't')
                playTick(*player);
            else if (*s == 'r')
                playRow(*player);
            else
                seen.push_back(c.probe(*player, mixer, static_cast<uint32_t>(*s - '0')));
        }
        EXPECT_EQ(seen, c.expected);
    }
}

} // namespace tolva::test
