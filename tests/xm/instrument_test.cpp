#include "support/TickCases.h"
#include "support/XmBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using enum Read;
using Points = std::vector<std::pair<uint16_t, uint16_t>>;

const XmCell C4 = xmNote(48, 1);

const Points down = {{0, 64}, {2, 32}, {4, 0}};
const Points full = {{0, 64}};

std::vector<uint8_t> line(std::vector<XmCell> rows) {
    return xmLine(std::move(rows)).build();
}

// A C-4, then `rows`, of an instrument with this volume envelope (type 1 on, 2 sustain, 4
// loop). A full-volume note's mixer volume is 2 x the envelope value.
std::vector<uint8_t> env(Points points, uint8_t type, std::vector<XmCell> rows = {},
                         std::array<uint8_t, 3> sustainLoop = {}, uint16_t fadeout = 0) {
    XmInstrumentDef i = xmInstrument();
    i.volumeEnvelope = {std::move(points), sustainLoop[0], sustainLoop[1], sustainLoop[2], type};
    i.fadeout = fadeout;
    rows.insert(rows.begin(), C4);
    return xmLine(std::move(rows), i).build();
}

// An instrument whose panning envelope goes from 0 to 64 in four ticks.
std::vector<uint8_t> panned(uint8_t samplePanning) {
    XmInstrumentDef i = xmInstrument();
    i.samples[0].panning = samplePanning;
    i.panningEnvelope = {{{0, 0}, {4, 64}}, 0, 0, 0, 1};
    return xmLine({C4}, i).build();
}

// Panning from 0 to 64 in 16 ticks, and L02 on tick 6 beside a volume envelope of this type.
std::vector<uint8_t> placed(uint8_t volumeType) {
    XmInstrumentDef i = xmInstrument();
    i.volumeEnvelope = {{{0, 64}}, 0, 0, 0, volumeType};
    i.panningEnvelope = {{{0, 0}, {16, 64}}, 0, 0, 0, 1};
    return xmLine({C4, xmFx(21, 2)}, i).build();
}

TEST(XmInstruments, SamplesEnvelopesKeyOffAndFadeout) {
    const XmInstrumentDef split = xmInstrument(xmSquare(32), xmSquare(64)); // 64 from C-4 on
    // Instrument 2 has no samples, 3 maps C-4 to one of length 0, 9 does not exist.
    XmBuilder absent = xmLine({C4, xmNote(48, 2), C4, xmNote(48, 9), C4, xmNote(48, 3)});
    absent.instrument(XmInstrumentDef{}).instrument(xmInstrument(xmSquare(), XmSampleDef{}));
    const auto missing = absent.build();
    XmSampleDef quiet = xmSquare();
    quiet.volume = 48;
    quiet.finetune = 32;
    quiet.panning = 64;
    XmInstrumentDef enveloped = xmInstrument(quiet);
    enveloped.volumeEnvelope = {{{0, 64}, {2, 0}}, 0, 0, 0, 1};
    enveloped.fadeout = 0x1000;
    // Volume 0x20, panning FF, then a key-off with finetune -128, then instrument 1 alone.
    const auto alone =
        xmLine({xmNote(48, 1, 0x20, 8, 0xFF), {97, 0, 0, 0xE, 0x50}, {0, 1}}, enveloped).build();
    const XmInstrumentDef longer =
        xmInstrument({.pcm = std::vector<int16_t>(600, 1000), .sixteenBit = true});
    // 903 under tone portamento neither acts nor is remembered: 900 repeats 902. The last 903
    // is past the 600 frames.
    const std::vector<XmCell> slides = {xmNote(48, 1, 0, 9, 2), xmNote(50, 1, 0xF1, 9, 3),
                                        xmNote(48, 1, 0, 9, 0), xmNote(48, 1, 0, 9, 3)};
    const auto offsets = xmLine(slides, longer).build();
    // Instrument 9 alone, a note of it, 1 alone, a note, a note of 2 (no samples).
    XmBuilder nine = xmLine({C4, {0, 9}, xmNote(47), {0, 1}, xmNote(47), xmNote(48, 2)}, enveloped);
    const auto none = nine.instrument(XmInstrumentDef{}).build();
    // C-4 maps to a sample of length 0 and volume 8.
    const XmInstrumentDef empty = xmInstrument(xmSquare(), XmSampleDef{.volume = 8});
    const auto blank = xmLine({xmNote(47, 1), C4, xmNote(47)}, empty).build();
    const auto bare = xmLine({xmNote(48, 1, 0x30), xmNote(47)}, split).build();
    const auto mapped = xmLine({xmNote(47, 1), C4}, split).build();
    const XmCell off = xmKeyOff();
    // Lxx with a sustained envelope: six forced steps reach envelope tick 5, the tick's own
    // step makes it 6.
    const auto set = [](uint8_t x) { return env({{0, 64}, {4, 0}, {8, 32}}, 3, {xmFx(21, x)}); };
    const auto lines = env({{0, 64}, {4, 0}, {6, 32}}, 1);
    const auto noEnv = line({C4, xmKeyOff()});
    // The key-off zeroes the volume, the instrument number gives it back; nothing restarts.
    const auto back = line({C4, xmFx(0xC, 0x10), xmKeyOff(1)});
    const auto restarted = env(full, 1, {xmKeyOff(), xmNote(50, 1)}, {}, 0x4000);
    // The key-off's number chooses instrument 2, whose envelope falls 2 a tick from 64; its
    // note without a number takes it up at tick 12 (40), unreleased and not faded.
    XmInstrumentDef faded = xmInstrument(), falling = xmInstrument();
    faded.volumeEnvelope = {{{0, 64}, {100, 64}}, 0, 0, 0, 1};
    faded.fadeout = 0x400;
    falling.volumeEnvelope = {{{0, 64}, {32, 0}}, 0, 0, 0, 1};
    const auto other = xmLine({C4, xmKeyOff(2), xmNote(50)}, faded).instrument(falling).build();
    const auto fading = env(full, 1, {xmKeyOff(1)}, {}, 8192);
    // Volume 32 and panning FF, then a key-off on tick 1 (ED1).
    const XmCell late = {97, 0, 0, 0xE, 0xD1}, lateWithNumber = {97, 1, 0, 0xE, 0xD1};
    const auto replayed = env(full, 1, {{0, 0, 0x30, 8, 0xFF}, late});
    const auto unfaded = env(full, 0, {xmVolume(0x30), lateWithNumber}, {}, 0x4000);
    // B-3 plays the loud sample, C-4 under a tone portamento keeps it and its volume; delayed,
    // C-4 starts the quiet one. F1 slides C-4 toward C-3 at 64 a tick, and so on beside ED3
    // and F8, before and after the note starts again. A number given while no sound is held
    // waits for the next note.
    XmSampleDef soft = xmSquare(64);
    soft.volume = 16;
    const XmInstrumentDef loudQuiet = xmInstrument(xmSquare(32), soft);
    const auto slid = [&](XmCell c) { return xmLine({xmNote(47, 1), c}, loudQuiet).build(); };
    const auto lateNote = slid(xmNote(48, 1, 0xF9, 0xE, 0xD1));
    const auto lateSlide = line({C4, xmNote(36, 1, 0xF1), xmNote(48, 1, 0xF8, 0xE, 0xD3)});
    const auto lateVolume = line({C4, {0, 0, 0x62, 0xE, 0xD3}});
    checkTicks(
        {
            {"tone portamento keeps the sample", slid(xmNote(48, 1, 0, 3, 9)), Volume, {64}, 6},
            {"so does the volume column's", slid(xmNote(48, 1, 0xF9)), Volume, {64}, 6},
            {"a delayed note starts", lateNote, VoiceEnd, {32, 64}, 0, 7},
            {"a delayed slide", lateSlide, Period, {4928, 4992, 5056, 4608, 4672, 4736}, 12},
            {"so does a delayed 6x", lateVolume, Volume, {64, 62, 60, 58, 56, 54}, 6},
            {"a number waits", line({{0, 1, 0xCF}, C4}), MixerPanning, {127}, 6},
            {"the note map chooses", mapped, VoiceEnd, {32, 64}, 0, 6},
            {"a note alone looks its sample up", bare, VoiceEnd, {32}, 6},
            {"a sample of length 0 lends its volume", blank, MixerVolume, {16}, 12},
            {"a missing instrument's notes are silent", none, Active, {1, 0, 1}, 6, 9},
            {"envelopes wait while no sample plays", none, MixerVolume, {96, 48}, 24},
            {"a missing instrument: volume 0 with a note", none, Volume, {48, 0}, 6, 24},
            {"a missing instrument: panning centre with a note", none, Panning, {64, 128}, 6, 24},
            {"a note alone keeps the volume", bare, MixerVolume, {64}, 6},
            {"notes that find no sample play nothing", missing, Active, {1, 0, 1, 0, 1, 0}, 0, 6},
            {"instrument alone restarts nothing", alone, Starts, {1}, 12},
            // Volume 48, envelope and fadeout from the start.
            {"instrument alone: volume", alone, MixerVolume, {96}, 12},
            {"instrument alone: sample panning", alone, MixerPanning, {63}, 12},
            {"instrument alone: sample finetune", alone, Period, {4608 - 16}, 12},
            {"offset in frames: 512 of 2 bytes; memory", offsets, StartOffset, {1024, 1024}, 0, 12},
            {"offset past the 600 frames is silent", offsets, Active, {1, 0}, 12, 6},
            {"lines", lines, MixerVolume, {128, 96, 64, 32, 0, 32, 64, 64, 64, 64}},
            {"one point holds", env({{0, 40}}, 1), MixerVolume, {80, 80, 80, 80}},
            {"switched off", env({{0, 0}, {4, 0}}, 0), MixerVolume, {128, 128, 128}},
            {"sustain", env(down, 3, {off}, {1}), MixerVolume, {128, 96, 64, 64, 64, 64, 64, 32}},
            {"loop", env(down, 5, {}, {0, 0, 2}), MixerVolume, {128, 96, 64, 32, 128, 96, 64}},
            {"sustain in a loop, then the loop",
             env(down, 7, {off}, {1, 0, 2}),
             MixerVolume,
             {128, 96, 64, 64, 64, 64, 64, 32, 128, 96, 64, 32}},
            // Released on tick 6 while heading for the last point: it ends there.
            {"sustain on the loop end",
             env(down, 7, {off}, {2, 0, 2}),
             MixerVolume,
             {128, 96, 64, 32, 128, 96, 64, 32, 0, 0, 0}},
            {"empty loop", env(down, 5, {}, {0, 1, 1}), MixerVolume, {128, 96, 64, 32, 0, 0, 0}},
            {"L06", set(6), MixerVolume, {128, 128, 128, 128, 128, 128, 32, 48, 64}},
            {"L past the last point ends on it", set(20), MixerVolume, {64, 64, 64}, 6},
            {"L past a loop's end",
             env(down, 5, {xmFx(21, 3)}, {0, 0, 1}),
             MixerVolume,
             {32, 0},
             6},
            {"L places the panning beside a volume sustain", placed(3), MixerPanning, {31}, 6},
            {"and only there", placed(1), MixerPanning, {95}, 6},
            {"panning swings around 128", panned(128), MixerPanning, {0, 63, 127, 191, 255}},
            {"32 from the edge: 192 .. 256", panned(224), MixerPanning, {191, 207, 223, 239, 255}},
            {"no envelope: silent at once", noEnv, MixerVolume, {128, 128, 128, 128, 128, 128, 0}},
            {"no envelope: not stopped", noEnv, Active, {1}, 7},
            // 32768 less 8192 a tick from the key-off tick on.
            {"fadeout", env(full, 1, {xmKeyOff()}, {}, 8192), MixerVolume, {96, 64, 32, 0, 0}, 6},
            {"no fadeout", env(full, 1, {xmKeyOff()}), MixerVolume, std::vector<int>(12, 128), 6},
            {"next note restarts the fadeout", restarted, MixerVolume, {0, 128}, 11},
            {"another instrument's note goes on", other, MixerVolume, {104, 80, 76, 72}, 11},
            {"key-off with an instrument", back, MixerVolume, {32, 128}, 11},
            {"key-off with an instrument", back, Starts, {1}, 12},
            {"key-off with an instrument fades on", fading, MixerVolume, {96, 64, 32, 0}, 6},
            {"a delayed key-off takes the sample's volume",
             replayed,
             MixerVolume,
             {64, 64, 128},
             11},
            {"and panning", replayed, MixerPanning, {254, 254, 127}, 11},
            {"with a number, unreleased", unfaded, MixerVolume, {64, 64, 128, 128}, 11},
            {"K00 makes the note a key-off", line({C4, xmNote(60, 1, 0, 20, 0)}), Starts, {1}, 6},
            {"K00 on the row's first tick", line({C4, xmFx(20, 0)}), MixerVolume, {0, 0, 0}, 6},
            {"K03 on tick 3", line({C4, xmFx(20, 3)}), MixerVolume, {128, 128, 128, 0, 0, 0}, 6},
            {"K06 never", line({C4, xmFx(20, 6)}), MixerVolume, std::vector<int>(6, 128), 6},
            {"notes 97 and up are key-offs", line({C4, {127}}), MixerVolume, {0}, 6},
        },
        playXm);
}

} // namespace
} // namespace tolva::test
