#include "engine/Random.h"
#include "support/ItHarness.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <tuple>

namespace tolva::test {
namespace {

TEST(ItNotePitch, SlideModesSampleVibratoPitchAndPanCommandsAndTonePortamento) {
    const std::tuple<int, uint32_t, uint16_t, int, uint32_t> cases[] = {
        {72, 22050, ItSampleSong, 7680 - 64 * 72, 65536},
        {60, 8363, ItSampleSong, 7680 - 64 * 60, 8363ull * 65536 / 44100},
        {48, 44100, ItSampleSong, 7680 - 64 * 48, 32768},
        {60, 8363, 0x01, 1712 * 2048, 8363ull * 65536 / 44100},
        {72, 16726, 0x01, 428 * 2048, 33452ull * 65536 / 44100}};
    for (const auto& [note, rate, flags, period, step] : cases) {
        ItFileBuilder b = itSong({{0, 0, {note, 1}}});
        b.flags = flags;
        b.samples[0].rate = rate;
        auto song = playIt(b);
        song->ticks();
        EXPECT_EQ(song->channel(0).period, period) << note;
        EXPECT_NEAR(song->voice(0).step, step, 1) << note;
    }
    // Depth 64 is reached after 65 ticks; from tick 72 on the ticks read positions 0, 64, 128 and
    // 192 of the waveform, an offset of entry x 64 >> 9. A rising offset raises the pitch in both
    // slide modes.
    const Ints expected[3] = {
        {0, 63, 0, -64},   // sine: 0, 511, 0, -511
        {63, 31, -1, -33}, // ramp down: 511 - i x 1022 / 255
        {63, 63, 0, 0},    // square, on one side only
    };
    for (uint16_t flags : {ItSampleSong, uint16_t{0x01}})
        for (uint8_t waveform = 0; waveform < 3; ++waveform) {
            ItFileBuilder b = itSong("60 1");
            b.flags = flags;
            b.speed = 255;
            b.samples[0].vibrato = {64, 64, 255, waveform}; // speed, depth, rate, waveform
            auto song = playIt(b);
            song->ticks();
            EXPECT_EQ(song->channel(0).autoVibratoSweep, 255u);
            song->ticks(70);
            EXPECT_EQ(song->channel(0).autoVibratoSweep >> 8, 64u);
            song->ticks();
            std::vector<Ints> got = song->trace(4, false, [](ItSong& s) {
                return Ints{s.channel(0).autoVibratoOffset, static_cast<int>(s.voice(0).step)};
            });
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(got[i][0], expected[waveform][i]) << int{waveform} << " " << i;
            EXPECT_TRUE(waveform || (got[1][1] > got[0][1] && got[3][1] < got[0][1])) << flags;
        }
    // A tone portamento with a number goes on with the sample vibrato's sweep, 255 a tick over
    // the first row's three ticks and the next row's first; a new note starts it over.
    for (auto [cells, sweep] : {std::pair{"60 1, 72 1 GFF", 4 * 255}, {"60 1, 72 1", 255}}) {
        ItFileBuilder b = itSong(cells);
        b.samples[0].vibrato = {64, 64, 255, 0};
        auto song = playIt(b);
        song->enter();
        EXPECT_EQ(song->channel(0).autoVibratoSweep, uint32_t(sweep)) << cells;
    }
    checkItCases({
        // Each tick steps first: IT's sine entries 180, 256 and 180 (positions 8, 16, 24) times
        // a depth of 15 x -4, over 256, cut toward 0; from 16 units on in steps of 4. Old effects
        // hold the first tick at position 0 and swing over 128 the other way; fine vibrato moves
        // on the row too.
        {"60 1 H8F", ItSong::vibrato, {-40, -60, -40}, false},
        {"60 1 H8F", ItSong::vibrato, {0, 84, 120}, false, {}, 3, 0x10},
        {"60 1 U8F", ItSong::vibrato, {-10, -15, -10}, false},
        // The ramp falls from the top: 192, 128, 64; the square's second half is the middle.
        {"S31, 60 1 H8F", ItSong::vibrato, {0, 0, 0, -44, -28, -15}, false},
        {"S32, 60 1 H8F, H00", ItSong::vibrato, {0, 0, 0, -60, -60, -60, 0, 0, 0}, false},
        // Volume column 208: depth 5 at H's speed, at positions 32, 40 and 48 (entries 0, -180
        // and -256): 0, -180 x 5 x -4 / 256 = 14, and 20.
        {"60 1 H8F, v208", ItSong::vibrato, {-40, -60, -40, 0, 14, 20}, false},
        // In both columns at once: H's speed, the column's depth 9 (x -4) for both, and the
        // swings of the tick's two steps, each in steps of 4, add up: positions 32 and 40
        // (0 + 24), 48 and 56 (36 + 24), 0 and 8 (0 - 24). On a note's row the column steps
        // from the note's start at the speed H sets beside it: 8 and 16 (-24 - 36).
        {"60 1 H81, v212 H81", ItSong::vibrato, {-2, -4, -2, 24, 60, -24}, false},
        {"60 1 v212 H81", ItSong::vibrato, {-60, -24, 60}, false},
        // A semitone is 64 units.
        {"60 1 J37, J00", ItSong::arpeggio, {0, -192, -448, 0, -192, -448}, false},
        // F04 gives G a speed of 4 (16 units a tick), and G20 gives F00 a speed of 2, only
        // when the memory is shared: without the compatibility flag.
        {"60 1 F04, 72 G00", ItSong::slide, {-32, -64}},
        {"60 1 F04, 72 G00", ItSong::slide, {-32, -32}, true, {}, 3, 0x20},
        {"60 1, 62 G02, F00", ItSong::slide, {0, -16, -32}},
        {"60 1, 62 G02, F00", ItSong::slide, {0, -16, -16}, true, {}, 3, 0x20},
        // G before any note; E and F share one memory.
        {"G08, 60 1, 62 G00", ItSong::slide, {0, 0, -64}},
        {"60 1 F04, E00, EF2, FE3", ItSong::slide, {-32, 0, 8, 5}},
        // Volume column 117 slides up 2 (F08) beside D02; 107 down 2 (E08); 195 is G04. Slide
        // and volume after each row.
        {"60 1, v117 D02, v115 D00", ItSong::slideVolume, {0, 64, -64, 60, -128, 56}},
        {"60 1, v107, 62 v195", ItSong::slide, {0, 0, 0, 0, 32, 64, 64, 48, 32}, false},
        // The column's F (16 units up a tick) slides apart from a G beside it: G00 takes the
        // column's 4 as its speed and the two cancel out, unless compatible G keeps its 1.
        {"60 1, 48 G01, v116 G00", ItSong::slide, {0, 0, 0, 0, 4, 8, 8, 8, 8}, false},
        {"60 1, 48 G01, v116 G00",
         ItSong::slide,
         {0, 0, 0, 0, 4, 8, 8, -4, -16},
         false,
         {},
         3,
         0x20},
        // The other way round, F02 keeps its 8 beside the column's G (197: 64 a tick), which
        // slides first, ends on reaching note 61 and leaves the pitch to F.
        {"60 1, 61 v197 F02", ItSong::slide, {0, 0, 0, 0, -72, -80}, false},
        // 115 without an amount slides by F's F1 on every tick, 241 steps of 4.
        {"60 1 FF1, v115", ItSong::slide, {-4, -4 - 2 * 241 * 4}},
        // Slides move four units a step, left for up and right for down.
        {"60 1 X80, P40, PF1, P00, v160", ItSong::pan, {128, 96, 100, 104, 127}},
        // Offset and pan after each row.
        {"60 1 Y48, Y00", ItSong::panOffset, {24 * 8 >> 5, 127 + 6, 76 * 8 >> 5, 127 + 19}},
        // An instrument without a default pan goes back to the channel's (127) from another
        // instrument's (0), but not from a pan command's.
        {"60 2, 60 1, 60 2 v192, 60 1",
         ItSong::pan,
         {0, 127, 255, 255},
         true,
         {{}, {.defaultPan = 0}}},
        // S91 centres the voice and marks it surround.
        {"60 1 X20, S91", ItSong::surround, {0x20, 0, 128, 1}},
        // Channel pan 32 is 127; twelve notes away at separation 8 move it by 12 of 64, 48.
        {"72 1 | 48 1", ItSong::pans, {175, 79}, false, {{.pitchPanSeparation = 8}}},
        // Set at the note from the channel's pan (127 - 96 = 31), until a pan command: 95, and
        // 95 - 88 for the next note, from the note written, not the note 72 it maps to.
        {"48 1, 48 1 v152, 49",
         ItSong::pan,
         {31, 95, 7},
         true,
         {{.pitchPanSeparation = 16, .noteMap = {{49, {72, 1}}}}}},
    });
    ItTestInstrument ins{.defaultPan = 0, .volume = {0x01, {{0, 32}}}};
    auto song = playIt(itSong("60 2, 64 1 G08", {ins, {}}));
    song->rows();
    const uint32_t starts = song->voice(0).flags;
    song->ticks();
    const ItChannel& c = song->channel(0);
    EXPECT_EQ((Ints{song->it().voiceOf(0), song->voice(0).flags == starts, c.panning,
                    c.volumeEnvelopeState.value, c.slideOffset}),
              (Ints{0, 1, 0, 32 * 256, 0}));
    EXPECT_EQ(song->trace(2, false, ItSong::slide), (std::vector<Ints>{{-32}, {-64}}));
    // Nothing to slide from on a channel that never sounded (1) or whose note was cut (0): the
    // note starts at its own pitch, whichever column asks for the slide.
    for (bool instruments : {false, true})
        for (std::string slide : {"72 1 G10", "72 1 v196"}) {
            const std::vector<ItTestInstrument> instrument(instruments ? 1 : 0);
            song = playIt(itSong("60 1, 254, " + slide + " | " + slide, instrument));
            song->ticks(8);
            for (uint32_t k : {0u, 1u}) {
                ASSERT_GE(song->it().voiceOf(k), 0);
                EXPECT_TRUE(song->sounds(static_cast<uint32_t>(song->it().voiceOf(k))));
                EXPECT_EQ(song->channel(k).period + song->channel(k).slideOffset, 7680 - 64 * 72);
            }
        }
}

TEST(ItNotePitch, AmigaNotesAndSlidesLandOnWholeHertz) {
    // Worked out by hand: a note plays at rate x 2^(semitones from C-5 / 12) Hz, and a slide of
    // d units (E01 and EF1 4, EE1 1) takes f Hz to f x 14317456 / (14317456 + d f) Hz, both
    // rounded down, so that every step starts from whole hertz.
    const std::tuple<std::string, uint32_t, bool, std::vector<uint32_t>> cases[] = {
        {"60 1, E02", 44100, false, {44100, 44100, 44100, 44100, 43039, 42028}},
        {"50 1, EF3, EE5, FF2, FE7", 44100, true, {24750, 24247, 24043, 24370, 24663}},
        {"61 1, 73 1", 44100, true, {46722, 93444}},
        {"73 1", 8363, true, {17720}},
        {"60 1, 67 G04", 33333, false, {33333, 33333, 33333, 33333, 34622, 36015}},
        {"67 1, 60 G03", 33333, false, {49943, 49943, 49943, 49943, 47936, 46084}},
    };
    for (const auto& [cells, rate, byRow, hertz] : cases) {
        ItFileBuilder b = itSong(cells);
        b.flags = 0x01;
        b.samples[0].rate = rate;
        std::vector<Ints> expected;
        for (uint32_t f : hertz)
            expected.push_back({static_cast<int>(uint64_t{f} * 65536 / 44100)});
        EXPECT_EQ(playIt(b)->trace(static_cast<uint32_t>(hertz.size()), byRow, ItSong::step),
                  expected)
            << cells;
    }
    // Schism Tracker's and ModPlug Tracker's songs keep whole periods: C-5 is 1712 x 8363 / 44100
    // = 324.66 units, cut to 324, then E01 adds 4 a tick. ModPlug's ping-pong loops play their
    // first frame twice as they turn, as well as their last.
    std::vector<Ints> expected;
    for (uint64_t period : {324, 324, 324, 324, 328, 332})
        expected.push_back({static_cast<int>(14317056ull * 65536 / (44100 * period))});
    for (auto [created, compatible, turns] :
         {std::tuple{0x1050, 0x0214, int{TurnRepeatsEnd}},
          {0x0217, 0x0200, TurnRepeatsEnd | TurnRepeatsStart}}) {
        ItFileBuilder b = itSong("60 1, E01");
        b.flags = 0x01;
        std::tie(b.createdWith, b.compatibleWith) = std::tuple(created, compatible);
        b.samples[0].rate = 44100;
        auto song = playIt(b);
        EXPECT_EQ(song->trace(6, false, ItSong::step), expected) << created;
        EXPECT_EQ(song->player->quirks.pingPongTurns, turns);
    }
    // With linear slides ModPlug's notes keep the Amiga periods' tuning to the nearest unit: F#5
    // of 8363 Hz plays near 8363 x 1712 / 1208 Hz, 4 cents above 8363 x 2^(1/2).
    ItFileBuilder linear = itSong("66 1");
    std::tie(linear.createdWith, linear.compatibleWith) = std::tuple(0x0217, 0x0200);
    EXPECT_NEAR(playIt(linear)->trace(1, false, ItSong::step)[0][0],
                8363.0 * 1712 / 1208 * 65536 / 44100, 8);
}

TEST(ItPanningAndFilter, SeparationDefaultPansRandomVariationAndResonantFilter) {
    ItFileBuilder b = itSong("60 1 X00 | 60 1 XFF");
    b.panSeparation = 64;
    EXPECT_EQ(playIt(b)->trace(1, false, ItSong::pans), (std::vector<Ints>{{64, 191}}));
    b.flags &= ~0x01; // mono
    EXPECT_EQ(playIt(b)->trace(1, false, ItSong::pans), (std::vector<Ints>{{128, 128}}));
    ItTestInstrument panned{.defaultPan = 0};
    ItTestInstrument sampleTwo{.sample = 2};
    b = itSong("60 1, 60 2, 60 3", {panned, {}, sampleTwo});
    b.samples[1].defaultPan = 0x80 | 64;
    EXPECT_EQ(playIt(b)->trace(3, true, ItSong::pan), (std::vector<Ints>{{0}, {127}, {255}}));
    // Sample mode: every new note takes its sample's panning again, a sample number alone not.
    b = itSong("60 1, X80, i1, 60");
    b.samples[0].defaultPan = 0x80;
    EXPECT_EQ(playIt(b)->trace(4, true, ItSong::pan), (std::vector<Ints>{{0}, {128}, {128}, {0}}));
    // Draws 30292 and then 8057: a volume swing of (2 x 30292 - 65536) x 64 x 50 / 6553600 < 0,
    // up, which is not heard; pan 127 + (8057 x 10 x 8 >> 16) - 40 = 96. A note without
    // instrument number draws a pan of its own, from the default pan: first 127 + (30292 x 10 x 8
    // >> 16) - 40 = 123, then 96. Each note draws its own swing from the volume, which stays:
    // seed 101 draws 40493, 12744 (pan) and 54929, swings of 7 and then 21.
    ItTestInstrument ins{.randomVolume = 50, .randomPan = 10};
    auto song = playIt(itSong("60 1", {ins}));
    song->player->random = Random(0);
    song->ticks();
    EXPECT_EQ(song->channel(0).volume - song->channel(0).volumeSwing, 64);
    EXPECT_EQ(song->channel(0).panning, 96);
    song = playIt(itSong("60 1, 60", {ins}));
    song->player->random = Random(101);
    EXPECT_EQ(song->trace(2, true, ItSong::volume), (std::vector<Ints>{{57 * 2}, {43 * 2}}));
    ins.randomVolume = 0;
    ins.defaultPan = 32;
    song = playIt(itSong("60 1, 62", {ins}));
    song->player->random = Random(0);
    EXPECT_EQ(song->trace(2, true, ItSong::panning), (std::vector<Ints>{{123, 123}, {96, 96}}));
    // Coefficients worked out by hand at 44100 Hz: the corner rises an octave every 24 steps of
    // cutoff c, w = 821.92096 x 2^(32c / 768) with the pitch table's 2^(i / 768), r = 44100 / w,
    // g = 10^(-0.1875 q / 20) for resonance q with the exponent cut to 1/512, d = g r + g - 1, e =
    // r^2, then 1 / (1 + d + e), (d + 2e) / (1 + d + e) and -e / (1 + d + e). Z80-Z8F set the
    // resonance in steps of 8, Z90 and above nothing. Fully open and without resonance (Z7F) a
    // playing note keeps the corner it had, and a note that starts so is not filtered; so is, in
    // sample mode only, the other sample a tone portamento starts again.
    const ItTestInstrument preset{.filterCutoff = 0x80 | 100, .filterResonance = 0x80 | 60};
    // The middle of the envelope halves cutoff 127 to 63.5; the pitch stays at middle C.
    const ItTestInstrument enveloped{.pitch = {0x01 | 0x80, {{0, 0}}}};
    const std::vector<float> resonance40 = {0.347744f, 1.30474f, -0.652487f};
    const std::tuple<std::string, std::vector<ItTestInstrument>, std::vector<float>> cases[] = {
        {"60 1 Z40", {}, {0.0123679f, 1.87075f, -0.883122f}},
        {"60 1 Z40, Z7F", {}, {0.0123679f, 1.87075f, -0.883122f}},
        {"60 1 Z40, Z7F, 60 1", {}, {}},
        {"60 1 Z40, Z7F, 60 2 G01", {}, {}},
        {"60 1 Z40, Z7F, 60 2 G01", {{}, {.sample = 2}}, {0.0123679f, 1.87075f, -0.883122f}},
        {"60 1 Z40, Z7F, Z81", {}, {0.25814f, 1.22622f, -0.484359f}},
        {"60 1 Z40, Z7F, Z81, Z85", {}, resonance40},
        {"60 1 Z7F, Z85, ZF0", {}, resonance40},
        {"60 1", {preset}, {0.0998263f, 1.79117f, -0.890994f}},
        {"60 1", {enveloped}, {0.012038f, 1.87272f, -0.88476f}},
    };
    for (const auto& c : cases) {
        const auto& [cells, instruments, expected] = c;
        SCOPED_TRACE(testing::Message() << "case " << &c - cases);
        auto song = playIt(itSong(cells, instruments));
        song->enter(static_cast<uint32_t>(std::count(cells.begin(), cells.end(), ',')));
        EXPECT_EQ(song->voice(0).step, uint32_t{8363ull * 65536 / 44100});
        EXPECT_EQ((song->voice(0).flags & VoiceFiltered) != 0, !expected.empty());
        const float* k = song->it().voices[0].filterCoefficients;
        for (std::size_t i = 0; i < expected.size(); ++i) // k[1] is always 0
            EXPECT_NEAR(k[i ? i + 1 : 0], expected[i], i ? 2e-4f : expected[0] * 2e-4f) << i;
    }
    // A file's own macros: SF1 picks "F0F001z", so Z30 sets resonance 48; Z90 sends two
    // messages; "F0F000n" takes the note; the default Z00-Z7F and Z80-Z8F are gone. At volume
    // 16 and channel volume 32, "u" is the volume heard, 16 of 128, "v" the note's, 32.
    ItFileBuilder own = itSong("60 1 SF1, Z30, Z90, Z91, Z7F Z88, v16 M20, Z92, Z93");
    own.macros = {{1, "F0F001z"},
                  {16 + 0x10, "F0F0007F F0F00108"},
                  {16 + 0x11, "F0F000n"},
                  {16 + 0x12, "F0F000u"},
                  {16 + 0x13, "F0F000v"}};
    const auto filter = [](ItSong& s) -> Ints {
        return {s.channel(0).filterCutoff, s.channel(0).filterResonance};
    };
    EXPECT_EQ(playIt(own)->trace(8, true, filter),
              (std::vector<Ints>{
                  {127, 0}, {127, 48}, {127, 8}, {60, 8}, {60, 8}, {60, 8}, {16, 8}, {32, 8}}));
    // With instruments "n" is the note written, 48, not the 72 the keyboard maps it to; "o" is
    // the last O parameter; MIDI reset opens the filter, without resonance.
    own = itSong("48 1 Z91, O45, Z92, Z93, Z94", {{.noteMap = {{48, {72, 1}}}}});
    own.macros = {
        {16 + 0x11, "F0F000n"}, {16 + 0x12, "F0F000o"}, {16 + 0x13, "F0F00120"}, {16 + 0x14, "FF"}};
    EXPECT_EQ(playIt(own)->trace(5, true, filter),
              (std::vector<Ints>{{48, 0}, {48, 0}, {69, 0}, {69, 32}, {127, 0}}));
    // The smooth macro slides the cutoff from 127 to 64, there on the row's last tick:
    // 127 - 63 / 2 between.
    EXPECT_EQ(playIt(itSong("60 1 \\40"))->trace(3, false, filter),
              (std::vector<Ints>{{127, 0}, {96, 0}, {64, 0}}));
    song = playIt(itSong("60 1 Z40, 62 1"));
    song->rows();
    song->mixer->removeTickListener(song->player.get()); // the test runs the ticks itself
    std::vector<int16_t> out(2 * 256);
    RenderFormat format;
    song->mixer->render(256, out.data(), &format);
    const ItChannel& voice = song->it().voices[0];
    EXPECT_NE(voice.filterOutputState[1], 0.0f);
    song->ticks();
    EXPECT_EQ(voice.filterOutputState[1], 0.0f);
    EXPECT_EQ(voice.filterInputState[1], 0.0f);
}

} // namespace
} // namespace tolva::test
