#include "support/TickCases.h"
#include "support/XmBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using enum Read;
using Points = std::vector<std::pair<uint16_t, uint16_t>>;

const XmCell C4 = xmNote(48, 1);

std::vector<uint8_t> line(std::vector<XmCell> rows) {
    return xmLine(std::move(rows)).build();
}

// A C-4 of an instrument with this volume envelope (type 1 on, 2 sustain, 4 loop), released
// on `offRow` if that is not 0. A full-volume note's mixer volume is 2 x the envelope value.
XmBuilder enveloped(Points points, uint8_t type, uint8_t sustain = 0, uint8_t loopStart = 0,
                    uint8_t loopEnd = 0, uint32_t offRow = 0, uint16_t fadeout = 0) {
    XmInstrumentDef i = xmInstrument();
    i.volumeEnvelope = {std::move(points), sustain, loopStart, loopEnd, type};
    i.fadeout = fadeout;
    XmBuilder b = xmLine({C4}, i);
    if (offRow != 0)
        b.cell(0, offRow, 0, xmKeyOff());
    return b;
}

// An instrument whose panning envelope goes from 0 to 64 in four ticks.
std::vector<uint8_t> panned(uint8_t samplePanning) {
    XmSampleDef s = xmSquare();
    s.panning = samplePanning;
    XmInstrumentDef i = xmInstrument(s);
    i.panningEnvelope = {{{0, 0}, {4, 64}}, 0, 0, 0, 1};
    return xmLine({C4}, i).build();
}

std::vector<uint8_t> positioned(uint8_t position) {
    XmInstrumentDef i = xmInstrument();
    i.volumeEnvelope = {{{0, 64}, {4, 0}, {8, 32}}, 0, 0, 0, 1 | 2};
    return xmLine({C4, xmFx(21, position)}, i).build();
}

TEST(XmEnvelopes, VolumeAndPanningEnvelopes) {
    const Points down = {{0, 64}, {2, 32}, {4, 0}};
    checkTicks(
        {
            {"straight lines from the first tick",
             enveloped({{0, 64}, {4, 0}, {6, 32}}, 1).build(),
             MixerVolume,
             {128, 96, 64, 32, 0, 32, 64, 64, 64, 64}},
            {"one point holds", enveloped({{0, 40}}, 1).build(), MixerVolume, {80, 80, 80, 80}},
            {"switched off", enveloped({{0, 0}, {4, 0}}, 0).build(), MixerVolume, {128, 128, 128}},
            {"sustain until the key-off on tick 6",
             enveloped(down, 1 | 2, 1, 0, 0, 1).build(),
             MixerVolume,
             {128, 96, 64, 64, 64, 64, 64, 32, 0, 0}},
            {"loop",
             enveloped(down, 1 | 4, 0, 0, 2).build(),
             MixerVolume,
             {128, 96, 64, 32, 128, 96, 64, 32, 128, 96}},
            {"sustain in a loop, then the loop",
             enveloped(down, 1 | 2 | 4, 1, 0, 2, 1).build(),
             MixerVolume,
             {128, 96, 64, 64, 64, 64, 64, 32, 128, 96, 64, 32}},
            // Released on tick 6 while heading for the last point: it ends there.
            {"sustain on the loop end ends the loop",
             enveloped(down, 1 | 2 | 4, 2, 0, 2, 1).build(),
             MixerVolume,
             {128, 96, 64, 32, 128, 96, 64, 32, 0, 0, 0}},
            {"loop ending where it starts",
             enveloped(down, 1 | 4, 0, 1, 1).build(),
             MixerVolume,
             {128, 96, 64, 32, 0, 0, 0}},
            // L06: six forced steps reach envelope tick 5, the tick's own step makes it 6.
            {"L06 steps past the sustain",
             positioned(6),
             MixerVolume,
             {128, 128, 128, 128, 128, 128, 32, 48, 64}},
            {"L past the last point ends on it", positioned(20), MixerVolume, {64, 64, 64}, 6},
            {"panning swings around 128", panned(128), MixerPanning, {0, 63, 127, 191, 255}},
            {"32 from the edge: 192 .. 256", panned(224), MixerPanning, {191, 207, 223, 239, 255}},
        },
        playXm);
}

TEST(XmEnvelopes, KeyOffAndFadeout) {
    const Points full = {{0, 64}};
    checkTicks(
        {
            {"no envelope: silent at once",
             line({C4, xmKeyOff()}),
             MixerVolume,
             {128, 128, 128, 128, 128, 128, 0, 0}},
            {"no envelope: not stopped", line({C4, xmKeyOff()}), Active, {1}, 7},
            // 32768 less 8192 a tick from the key-off tick on.
            {"fadeout",
             enveloped(full, 1, 0, 0, 0, 1, 8192).build(),
             MixerVolume,
             {96, 64, 32, 0, 0, 0},
             6},
            {"no fadeout", enveloped(full, 1, 0, 0, 0, 1).build(), MixerVolume,
             std::vector<int>(12, 128), 6},
            {"next note restarts the fadeout",
             enveloped(full, 1, 0, 0, 0, 1, 0x4000).cell(0, 2, 0, xmNote(50, 1)).build(),
             MixerVolume,
             {0, 128},
             11},
            // The key-off zeroes the volume, the instrument number gives it back.
            {"key-off with an instrument",
             line({C4, xmFx(0xC, 0x10), xmKeyOff(1)}),
             MixerVolume,
             {32, 128},
             11},
            {"key-off with an instrument restarts nothing",
             line({C4, xmFx(0xC, 0x10), xmKeyOff(1)}),
             Starts,
             {1},
             12},
            {"K00 on the row's first tick",
             line({C4, xmFx(20, 0)}),
             MixerVolume,
             {0, 0, 0, 0, 0, 0},
             6},
            {"K03 on tick 3", line({C4, xmFx(20, 3)}), MixerVolume, {128, 128, 128, 0, 0, 0}, 6},
            {"K06 never at speed 6", line({C4, xmFx(20, 6)}), MixerVolume, std::vector<int>(6, 128),
             6},
            {"notes 97 and up are key-offs", line({C4, {127}}), MixerVolume, {0}, 6},
        },
        playXm);
}

} // namespace
} // namespace tolva::test
