#include "support/TickCases.h"
#include "support/XmBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using enum Read;

const XmCell C4 = xmNote(48, 1);

XmSampleDef wide(uint32_t frames) {
    return {.pcm = std::vector<int16_t>(frames, 1000), .sixteenBit = true};
}

TEST(XmInstruments, SamplesNotesAndInstrumentNumbers) {
    const XmInstrumentDef split = xmInstrument(xmSquare(32), xmSquare(64)); // 64 from C-4 on
    const XmSampleDef pingPong = {.pcm = xmSquare().pcm, .loopType = 2, .loopLength = 32};
    const auto loops =
        xmLine({xmNote(47, 1)}, xmInstrument(pingPong, wide(16))).column(1, {C4}).build();
    // Instrument 2 has no samples, 3 maps C-4 to one of length 0, 9 does not exist.
    const auto missing = xmLine({C4, xmNote(48, 2), C4, xmNote(48, 9), C4, xmNote(48, 3)})
                             .instrument(XmInstrumentDef{})
                             .instrument(xmInstrument(xmSquare(), XmSampleDef{}))
                             .build();
    XmInstrumentDef enveloped = xmInstrument({.pcm = xmSquare().pcm,
                                              .loopType = 1,
                                              .loopLength = 32,
                                              .volume = 48,
                                              .finetune = 32,
                                              .panning = 64});
    enveloped.volumeEnvelope = {{{0, 64}, {2, 0}}, 0, 0, 0, 1};
    enveloped.fadeout = 0x1000;
    // Volume 0x20, panning FF, then a key-off with finetune -128, then instrument 1 alone.
    const auto alone =
        xmLine({xmNote(48, 1, 0x20, 8, 0xFF), {97, 0, 0, 0xE, 0x50}, {0, 1}}, enveloped).build();
    const auto offsets =
        xmLine({xmNote(48, 1, 0, 9, 2), xmNote(48, 1, 0, 9, 3)}, xmInstrument(wide(600))).build();
    const auto bare = xmLine({xmNote(48, 1, 0x30), xmNote(47)}, split).build();
    checkTicks(
        {
            {"the note map chooses",
             xmLine({xmNote(47, 1), C4}, split).build(),
             VoiceEnd,
             {32, 64},
             0,
             6},
            {"a note alone keeps the sample", bare, VoiceEnd, {64}, 6},
            {"a note alone keeps the volume", bare, MixerVolume, {64}, 6},
            {"notes that find no sample play nothing", missing, Active, {1, 0, 1, 0, 1, 0}, 0, 6},
            {"instrument alone restarts nothing", alone, Starts, {1}, 12},
            // Volume 48, envelope and fadeout from the start.
            {"instrument alone: volume", alone, MixerVolume, {96}, 12},
            {"instrument alone: sample panning", alone, MixerPanning, {63}, 12},
            {"instrument alone: sample finetune", alone, Period, {4608 - 16}, 12},
            {"ping-pong loop: active, loop, ping-pong", loops, VoiceFlags, {0x01 | 0x08 | 0x10}},
            {"16-bit without loop", loops, VoiceFlags, {0x01 | 0x04}, 0, 1, 1},
            {"16-bit end in bytes", loops, VoiceEnd, {32}, 0, 1, 1},
            {"offset in frames: 512 of 2 bytes", offsets, StartOffset, {1024}},
            {"offset past the 600 frames is silent", offsets, Active, {1, 0}, 0, 6},
        },
        playXm);
}

} // namespace
} // namespace tolva::test
