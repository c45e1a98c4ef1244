#include "support/TickCases.h"
#include "support/XmBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using enum Read;

const XmCell C4 = xmNote(48, 1);
constexpr uint8_t G = 16, H = 17, P = 25, T = 29;

std::vector<uint8_t> line(std::vector<XmCell> rows) {
    return xmLine(std::move(rows)).build();
}

// Channel 1 plays a C-4 beside channel 0's rows: its mixer volume is 2 x the global volume.
std::vector<uint8_t> beside(std::vector<XmCell> rows) {
    return xmLine(std::move(rows)).cell(0, 0, 1, C4).build();
}

TEST(XmVolume, ColumnsGlobalVolumeTremorAndPanning) {
    checkTicks(
        {
            {"volume column sets, above 0x50 nothing",
             line({xmNote(48, 1, 0x30), xmVolume(0x50), xmVolume(0x10), xmVolume(0x51)}), Volume,
             repeated({32, 64, 0, 0}, 6)},
            {"volume column slides on the later ticks",
             line({C4, xmVolume(0x62), xmVolume(0x7F)}),
             Volume,
             {64, 62, 60, 58, 56, 54, 54, 64, 64, 64, 64, 64},
             6},
            {"volume column fine slides once", line({C4, xmVolume(0x84), xmVolume(0x93)}), Volume,
             repeated({60, 63}, 6), 6},
            // Up 8 (limited to 64), then down 4; the other way round would stay at 64.
            {"volume column slides first", line({xmNote(48, 1, 0x4C), {0, 0, 0x78, 0xA, 4}}),
             Volume, repeated({60}, 6), 6},
            {"delayed note takes its volume when it starts",
             line({C4, xmNote(48, 1, 0x20, 0xE, 0xD3)}),
             MixerVolume,
             {128, 128, 128, 32, 32, 32},
             6},
            {"E[AB]x remember apart",
             line({C4, xmFx(0xE, 0xB4), xmFx(0xE, 0xB0), xmFx(0xE, 0xA0), xmFx(0xE, 0xA2),
                   xmFx(0xE, 0xA0)}),
             Volume,
             {60, 56, 56, 58, 60},
             11,
             6},
            {"A shares its memory with 5 and 6",
             line({C4, xmFx(6, 2), xmFx(0xA, 0), xmFx(5, 4), xmFx(0xA, 0), xmFx(5, 0)}),
             Volume,
             {54, 44, 24, 4, 0},
             11,
             6},
            {"A with both nibbles", line({C4, xmFx(0xA, 0x23)}), Volume, {64}, 11},
            {"G sets at once, above 64 is 64",
             beside({C4, xmFx(G, 0x20), xmFx(G, 0x50), xmFx(G, 0)}),
             MixerVolume,
             {64, 128, 0},
             6,
             6,
             1},
            {"H: up wins, remembered, stops at the ends",
             line({C4, xmFx(H, 4), xmFx(H, 0), xmFx(H, 0x30), xmFx(H, 0x12), xmFx(H, 0xF0),
                   xmFx(H, 0x0F), xmFx(H, 0)}),
             GlobalVolume,
             {64, 60, 56, 52, 48, 44, 44, 40, 36, 32, 28, 24, 24, 27, 30, 33, 36, 39, 39, 40, 41,
              42, 43, 44, 44, 59, 64, 64, 64, 64, 64, 49, 34, 19, 4,  0,  0,  0,  0,  0,  0,  0},
             6},
            {"G reaches notes started later", line({xmFx(G, 0x10), C4}), MixerVolume, {32}, 6},
            // On for 2 ticks, off for 3; each row starts over.
            {"T alternates and remembers",
             line({C4, xmFx(T, 0x12), xmFx(T, 0)}),
             MixerVolume,
             {128, 128, 0, 0, 0, 128, 128, 128, 0, 0, 0, 128},
             6},
            {"volume column panning set and nudged",
             line({C4, xmVolume(0xD2), xmVolume(0xE3), xmVolume(0xC4), xmVolume(0xDF),
                   xmVolume(0xEF), xmVolume(0xEF)}),
             Panning,
             {128, 96, 144, 64, 0, 240, 255},
             5,
             6},
            {"volume column panning sent",
             line({C4, xmVolume(0xD2), xmVolume(0xE3), xmVolume(0xC4), xmVolume(0xDF),
                   xmVolume(0xEF), xmVolume(0xEF)}),
             MixerPanning,
             {127, 95, 143, 63, 0, 239, 254},
             5,
             6},
            {"P: up wins, remembered",
             line({C4, xmFx(P, 0x20), xmFx(P, 2), xmFx(P, 0x21), xmFx(P, 0), xmFx(P, 0xF0),
                   xmFx(P, 0)}),
             Panning,
             {138, 128, 138, 148, 223, 255},
             11,
             6},
        },
        playXm);
}

} // namespace
} // namespace tolva::test
