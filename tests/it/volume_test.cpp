#include "support/ItHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// Volume envelope value, mixer volume (full is 128) and whether the voice sounds.
Ints volumeState(ItSong& s) {
    return {s.channel(0).volumeEnvelopeState.value, s.voice(0).targetVolume, s.sounds(0)};
}

std::unique_ptr<ItSong> oneNote(const ItTestInstrument& ins) {
    ItFileBuilder b = itSong("60 1", {ins});
    b.speed = 20;
    return playIt(b);
}

// A last node of zero stops the voice; one above zero starts the fade-out.
TEST(ItVolume, EnvelopesCommandsAndGlobalVolumes) {
    std::vector<Ints> expected;
    for (int i = 0; i < 10; ++i)
        expected.push_back({16384 - 1638 * i, (16384 - 1638 * i) * 128 / 16384, 1});
    expected.push_back({0, 0, 0});
    EXPECT_EQ(oneNote({.volume = {0x01, {{0, 64}, {10, 0}}}})->trace(11, false, volumeState),
              expected);
    auto song = oneNote({.fadeOut = 512, .volume = {0x01, {{0, 64}, {4, 32}}}});
    song->ticks(4);
    EXPECT_EQ(song->trace(4, false, ItSong::fade),
              (std::vector<Ints>{
                  {8192, 1024, 64, 1}, {8192, 512, 32, 1}, {8192, 0, 0, 1}, {8192, 0, 0, 0}}));
    // Rows 0..2 are nine ticks: up to node 1, down to node 2, node 1 again on the tick after,
    // and so on; released on row 3, on from node 1 through node 2 to the end.
    ItTestInstrument sustain{
        .volume = {0x01 | 0x04, {{0, 0}, {2, 64}, {4, 32}, {6, 0}}, 0, 0, 1, 2}};
    song = playIt(itSong("60 1, , , 255", {sustain}));
    std::vector<Ints> values = song->trace(14, false, volumeState);
    const int sustained[] = {0,    8192,  16384, 12288, 8192, 16384, 12288,
                             8192, 16384, 12288, 8192,  4096, 0,     0};
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(values[i][0], sustained[i]) << i;
    EXPECT_EQ(values[13][2], 0);
    // A loop of one node holds its value.
    values = oneNote({.volume = {0x01 | 0x02, {{0, 64}, {2, 16}, {4, 0}}, 1, 1}})
                 ->trace(7, false, volumeState);
    EXPECT_EQ((std::vector<Ints>{values[1], values[2], values[6]}),
              (std::vector<Ints>{{10240, 80, 1}, {4096, 32, 1}, {4096, 32, 1}}));
    // Carried, the envelope goes on from where the last note left it, but not from a note cut
    // or released.
    for (uint8_t carry : {0x00, 0x08}) {
        ItTestInstrument ins{.volume = {uint8_t(0x01 | carry), {{0, 64}, {20, 0}}}};
        for (const auto& [cells, rows, goesOn] : {std::tuple{"60 1, 62 1", 1u, true},
                                                  {"60 1, 254, 62 1", 2u, false},
                                                  {"60 1, 255, 62 1", 2u, false}}) {
            song = playIt(itSong(cells, {ins}));
            song->enter(rows);
            EXPECT_EQ(song->channel(0).volumeEnvelopeState.value,
                      carry && goesOn ? 16384 - 3 * 819 : 16384)
                << cells;
            EXPECT_EQ(song->channel(0).note, 62u);
        }
    }
    // Its own number alone leaves a sounding note's envelope running (old effects restart it)
    // and starts the note again once the envelope silenced it: 64 to 0 in six ticks of -2730.
    for (uint16_t oldEffects : {0, 0x10}) {
        ItFileBuilder b = itSong("60 1, i1, , i1", {{.volume = {0x01, {{0, 64}, {6, 0}}}}});
        b.flags |= oldEffects;
        const auto envelope = [](ItSong& s) {
            return Ints{s.channel(0).volumeEnvelopeState.value, s.sounds(0)};
        };
        EXPECT_EQ(playIt(b)->trace(4, true, envelope),
                  oldEffects ? (std::vector<Ints>{{10924, 1}, {10924, 1}, {2734, 1}, {10924, 1}})
                             : (std::vector<Ints>{{10924, 1}, {2734, 1}, {0, 0}, {10924, 1}}));
    }
    // A pan of 63 has room 63 to the left edge; pitch 32 is 16 semitones up.
    const ItTestInstrument falling{.volume = {0x01, {{0, 64}, {4, 0}}}};
    const ItTestInstrument panned{.defaultPan = 16, .pan = {0x01, {{0, 32}}}};
    const ItTestInstrument pitched{.pitch = {0x01, {{0, 32}}}};
    const ItTestInstrument held{.volume = {0x01 | 0x04, {{0, 64}, {6, 16}}}};
    const ItTestInstrument looped{.volume = {0x07, {{0, 64}, {2, 0}, {4, 64}, {6, 0}}, 0, 1, 2, 2}};
    const Ints faded = {16384, 1024, 128, 1, 16384, 640, 80, 1, 16384, 640, 80, 1};
    checkItCases({
        // Envelopes switched off on row 1 and on again on row 2; one switched off holds its value.
        {"60 1, S77, S78", ItSong::volume, {64, 64, 0}, true, {falling}},
        {"60 1, S79, S7A", ItSong::pan, {126, 63, 126}, true, {panned}},
        // Envelope value 32: 16 semitones up, 12428 x 2 x 2^(1/3).
        {"60 1, S7B, S7C", ItSong::step, {31316, 12428, 31316}, true, {pitched}},
        // An instrument number alone or beside a fade restarts the fade-out from full; the
        // note goes on fading, 128 a tick.
        {"60 1, 130, i1", ItSong::fade, faded, true, {{.fadeOut = 128}}},
        {"60 1, 130, 130 1", ItSong::fade, faded, true, {{.fadeOut = 128}}},
        // Beside G of either column a released envelope goes on falling, 2048 a tick from the
        // row's second tick on; the compatible G starts it over at its sustain, not released.
        {"60 1, 255, 62 1 G01", ItSong::volume, {128, 96, 48}, true, {held}},
        {"60 1, 255, 62 1 v194", ItSong::volume, {128, 96, 48}, true, {held}},
        {"60 1, 255, 62 1 G01", ItSong::volume, {128, 96, 128}, true, {held}, 3, 0x20},
        // Beside a note off it gives back the sample's volume (16 to 64) and lets go of the
        // sustain (64 to 16 in six ticks, -16 a tick of 128, from the row's second tick) but
        // for old effects, which hold it again.
        {"60 1 v16, 255 1, ", ItSong::volume, {32, 96, 48}, true, {held}},
        {"60 1 v16, 255 1, ", ItSong::volume, {32, 128, 128}, true, {held}, 3, 0x10},
        // There a note without a volume envelope starts no fade either.
        {"60 1, 255 1",
         ItSong::fade,
         {16384, 1024, 128, 1, 16384, 1024, 128, 1},
         true,
         {{.fadeOut = 128}},
         3,
         0x10},
        // A loop (nodes 0-1) before the sustain (node 2) waits for the release on tick 6;
        // from node 2, past the loop's end, the tick after goes back to the loop's start.
        {"60 1, , 255, ",
         ItSong::volume,
         {128, 64, 0, 64, 128, 128, 128, 128, 64, 0, 128, 64},
         false,
         {looped}},
        // Down 4 on two ticks, memory, x0F on every tick, fine up, fine down, both nibbles, F0.
        {"60 1 v32 D04, D00, v64 D0F, v32 D1F, v32 DF1, v32 D23, v32 DF0",
         ItSong::chVolume,
         {24, 16, 19, 33, 31, 32, 64}},
        // K and L slide with D's memory from the second tick.
        {"60 1 v32 D04, K00, L00, K0F, v40 L2F", ItSong::chVolume, {24, 16, 8, 0, 42}},
        // The volume column's own memory: fine up 2, fine up again, down 3 beside D01, down
        // again, up 1, fine down.
        {"60 1 v40 D01, v67, v65, v98 D00, v95, v86, v75",
         ItSong::chVolume,
         {38, 40, 42, 34, 28, 30, 29}},
        // A pattern delay's repeat goes on with the column's slide (down 2), its volume unset.
        {"60 1 v97 SE1", ItSong::chVolume, {64, 62, 60, 60, 58, 56}, false},
        // M sets, above 64 nothing, N slides: channel and mixer volume after each row.
        {"60 1 M20, M41, N02, N0F", ItSong::channelVolume, {32, 64, 32, 64, 28, 56, 0, 0}},
        // V and W reach every voice.
        {"60 1 V40 | 60 1, V81, W02, WF1", ItSong::global, {64, 64, 64, 64, 60, 60, 59, 59}},
        // From 54 on every tick: x 2/3 twice, x 2, / 2, x 3/2, -16, +16, and x 2 from memory.
        {"60 1 v54 Q61, QF1, Q71, QE1, Q51, QD1, Q00",
         ItSong::chVolume,
         {24, 64, 8, 27, 0, 48, 64}},
        // A cut or delay of 0 ticks counts as 1; S00 repeats the channel's last S command.
        {"60 1 SC0, 60 1 SD0", ItSong::sounding, {1, 0, 0, 0, 1, 1}, false},
        {"60 1 SC2, 60 1 S00", ItSong::sounding, {1, 1, 0, 1, 1, 0}, false},
        // At speed 1 the count of Q92 runs on from row to row: +1 on every second row.
        {"60 1 v32 Q92, Q00, Q00, Q00, Q00", ItSong::chVolume, {32, 33, 33, 34, 34}, true, {}, 1},
        // Tremor counts from the row's first tick on and runs on into the next row: on two ticks,
        // off one; with old effects on three, off two.
        {"60 1 I21, I00", ItSong::volume, {128, 128, 0, 128, 128, 0}, false},
        {"60 1 I21", ItSong::volume, {128, 128, 128, 0, 0, 128}, false, {}, 6, 0x10},
        // Depth 15 takes 256 x 15 >> 7 = 30 off or onto volume 32 at the square's peaks.
        {"60 1 v32 S42, R4F, R00", ItSong::volume, {64, 124, 124}},
        // The sine moves on every tick, the row's first too: 0, 96, 180, 236, 256, 236 x 15 >> 7.
        {"60 1 v32 R4F, R00", ItSong::volume, {64, 86, 106, 118, 124, 118}, false},
    });
    // Sample and instrument global volumes.
    ItFileBuilder b = itSong("60 1", {{.globalVolume = 64}});
    b.samples[0].globalVolume = 32;
    EXPECT_EQ(playIt(b)->trace(1, false, ItSong::volume), (std::vector<Ints>{{32}}));
    // 250 frames at 8363 Hz last 1319 of 44100 Hz, under two ticks of 882; Q01 on the next row
    // does not start them again.
    b = itSong("60 1, Q01");
    b.samples[0] = rampSample(250, false);
    song = playIt(b);
    std::vector<int16_t> out(2 * 4 * 882);
    RenderFormat format;
    song->player->renderFrames(4 * 882, out.data(), &format);
    EXPECT_FALSE(song->sounds(0));
}

} // namespace
} // namespace tolva::test
