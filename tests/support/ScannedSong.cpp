#include "support/ScannedSong.h"

#include "song/MemoryStream.h"
#include "support/ModBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {

ScannedSong scanSong(const std::vector<uint8_t>& moduleBytes, const Settings& settings,
                     uint32_t maxSeconds) {
    enableAllFormats();
    MemoryStream stream(moduleBytes);
    ScannedSong song;
    EXPECT_EQ(loadSong(stream, settings, song, {.maxScanSeconds = maxSeconds}), LoadFailure::None);
    return song;
}

uint32_t renderToEnd(ScannedSong& song, const Settings& settings, uint32_t maxFrames,
                     int64_t* firstSound) {
    startPlayback(song, settings.mixingFrequency);
    if (firstSound)
        *firstSound = -1;
    std::vector<int16_t> block(576 * 2);
    RenderFormat format;
    uint32_t total = 0;
    while (total < maxFrames) {
        uint32_t n = song.session->renderFrames(576, block.data(), &format);
        if (n == 0)
            break;
        for (uint32_t i = 0; firstSound && *firstSound < 0 && i < 2 * n; ++i)
            if (block[i] != 0)
                *firstSound = total + i / 2;
        total += n;
    }
    return total;
}

namespace {

constexpr uint32_t C2 = 25; // period 428

struct Cell {
    uint32_t pattern, row, channel;
    ModCell cell;
};

std::vector<uint8_t> withTone(std::vector<uint8_t> orders, std::initializer_list<Cell> cells) {
    ModBuilder b(4, "M.K.");
    b.sample(squareSample(32)).orders(std::move(orders));
    for (const Cell& c : cells)
        b.cell(c.pattern, c.row, c.channel, c.cell);
    return b.build();
}

} // namespace

std::vector<uint8_t> straightSong() {
    return withTone({0, 1}, {{0, 0, 0, note(C2, 1)}, {1, 0, 1, note(C2, 1)}});
}

std::vector<uint8_t> jumpBackSong() {
    return withTone({0, 1, 2}, {{0, 0, 0, note(C2, 1)},
                                {1, 0, 1, note(C2, 1)},
                                {2, 0, 2, note(C2, 1)},
                                {2, 63, 3, fx(0xB, 1)}});
}

std::vector<uint8_t> jumpAroundSong() {
    return withTone({0, 1, 2},
                    {{0, 0, 0, note(C2, 1)}, {0, 15, 3, fx(0xB, 2)}, {2, 31, 3, fx(0xB, 1)}});
}

std::vector<uint8_t> foreverSong() {
    return withTone({0}, {{0, 0, 0, note(C2, 1)}, {0, 63, 3, fx(0xB, 0)}});
}

std::vector<uint8_t> patternLoopSong() {
    return withTone({0},
                    {{0, 0, 0, note(C2, 1)}, {0, 0, 3, fx(0xE, 0x60)}, {0, 3, 3, fx(0xE, 0x62)}});
}

std::vector<uint8_t> trailingEmptySong() {
    return withTone({0, 1, 2}, {{0, 0, 0, note(C2, 1)}});
}

std::vector<uint8_t> slowLoopSong() {
    return withTone(
        {0}, {{0, 0, 0, note(37, 1, 0xF, 0x20)}, {0, 0, 1, fx(0xF, 0x1F)}, {0, 63, 0, fx(0xB, 0)}});
}

std::vector<uint8_t> silentEdgesSong() {
    ModBuilder b(4, "M.K.");
    b.sample({"shot", squareSample(2000).data}).orders({0, 1, 2, 3, 4, 5});
    // Patterns with nothing in them would count as missing: give each an effect that does
    // nothing audible.
    for (uint32_t p = 0; p < 6; ++p)
        b.cell(p, 10, 3, fx(0xC, 0));
    return b.cell(3, 0, 0, note(C2, 1)).build();
}

} // namespace tolva::test
