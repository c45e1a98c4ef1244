#include "support/TickCases.h"
#include "support/XmBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using enum Read;

const XmCell C4 = xmNote(48, 1);

std::vector<uint8_t> line(std::vector<XmCell> rows) {
    return xmLine(std::move(rows)).build();
}

TEST(XmVolume, ColumnsGlobalVolumeTremorAndPanning) {
    // Channel 1 plays a C-4 beside: its mixer volume is 2 x the global volume.
    const auto global = xmLine({C4, xmFx(16, 0x20), xmFx(16, 0x50), xmFx(16, 0)}).cell(0, 0, 1, C4);
    // Up 8 (limited to 64), then down 4; the other way round would stay at 64.
    const auto first = line({xmNote(48, 1, 0x4C), {0, 0, 0x78, 0xA, 4}});
    const auto pan = line({C4, xmVolume(0xD2), xmVolume(0xE3), xmVolume(0xC4), xmVolume(0xDF),
                           xmVolume(0xEF), xmVolume(0xEF)});
    // E72 on the note, then 788 at volume 32: the square's 255 x 8 >> 6 on every tick.
    const auto tremolo = line({xmNote(48, 1, 0x30, 0xE, 0x72), xmFx(7, 0x88)});
    // E71, then 788: the ramp's swing (0, 64, 128, 192, 0) x 8 >> 6; after 480 has moved the
    // vibrato's position to 40, (255, 191, 127, 63, -255) x 8 >> 6.
    const auto ramp = [](std::vector<XmCell> rows) {
        rows.insert(rows.begin(), xmNote(48, 1, 0x30, 0xE, 0x71));
        rows.push_back(xmFx(7, 0x88));
        return line(rows);
    };
    const auto slides = line({C4, xmVolume(0x62), xmVolume(0x7F)});
    const auto delayed = line({C4, xmNote(48, 1, 0x20, 0xE, 0xD3)});
    const auto fineEA = xmCommands(0xE, {0xB4, 0xB0, 0xA0, 0xA2, 0xA0}).build();
    const auto shared = line({C4, xmFx(6, 2), xmFx(0xA, 0), xmFx(5, 4), xmFx(0xA, 0), xmFx(5, 0)});
    const auto sets = line({xmNote(48, 1, 0x30), xmVolume(0x50), xmVolume(0x10), xmVolume(0x51)});
    const auto panSlides = xmCommands(25, {0x20, 2, 0x21, 0, 0xF0, 0}).build();
    checkTicks(
        {
            {"tremolo square", tremolo, MixerVolume, {126, 126, 126, 126}, 7},
            {"tremolo ramp", ramp({}), MixerVolume, {64, 80, 96, 112, 64}, 7},
            {"tremolo ramp past 480",
             ramp({xmFx(4, 0x80)}),
             MixerVolume,
             {126, 110, 94, 78, 2},
             13},
            {"volume column sets, above 0x50 nothing", sets, Volume, repeated({32, 64, 0, 0}, 6)},
            {"column slides later ticks", slides, Volume, {64, 62, 60, 58, 56, 54, 54, 64}, 6},
            {"fine slides", line({C4, xmVolume(0x84), xmVolume(0x93)}), Volume, {60, 60, 63}, 6, 5},
            {"volume column slides first", first, Volume, repeated({60}, 6), 6},
            {"delayed note's volume", delayed, MixerVolume, {128, 128, 128, 32, 32}, 6},
            {"E[AB]x remember apart", fineEA, Volume, {60, 56, 56, 58, 60}, 11, 6},
            {"A shares memory with 5 and 6", shared, Volume, {54, 44, 24, 4, 0}, 11, 6},
            {"A with both nibbles", xmCommands(0xA, {0x23}).build(), Volume, {64}, 11},
            {"G sets at once, above 64 is 64", global.build(), MixerVolume, {64, 128, 0}, 6, 6, 1},
            {"H: up wins, remembered, stops at the ends",
             xmCommands(17, {4, 0, 0x30, 0x12, 0xF0, 0x0F, 0}).build(),
             GlobalVolume,
             {64, 60, 56, 52, 48, 44, 44, 40, 36, 32, 28, 24, 24, 27, 30, 33, 36, 39, 39, 40, 41,
              42, 43, 44, 44, 59, 64, 64, 64, 64, 64, 49, 34, 19, 4,  0,  0,  0,  0,  0,  0,  0},
             6},
            {"G reaches notes started later", line({xmFx(16, 0x10), C4}), MixerVolume, {32}, 6},
            // On for 2 ticks, off for 3, counted on from row to row; the silence holds over
            // the next row's first tick.
            {"T alternates and remembers",
             xmCommands(29, {0x12, 0}).build(),
             MixerVolume,
             {128, 128, 128, 0, 0, 0, 0, 128, 128, 0, 0, 0},
             6},
            {"volume column panning", pan, Panning, {128, 96, 144, 64, 0, 240, 255}, 5, 6},
            {"P: up wins, remembered", panSlides, Panning, {138, 128, 138, 148, 223, 255}, 11, 6},
        },
        playXm);
}

} // namespace
} // namespace tolva::test
