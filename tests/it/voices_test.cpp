#include "support/ItHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

constexpr uint16_t Released = ItEnvelopeReleased;
constexpr uint16_t Fading = ItEnvelopeFading;

// Notes 60 and 62 play sample 1, note 63 plays note 60, note 64 plays sample 2.
ItTestInstrument twoSamples(uint8_t nna, uint8_t dct = 0, uint8_t dca = 0) {
    ItTestInstrument ins{
        .newNoteAction = nna, .duplicateCheckType = dct, .duplicateCheckAction = dca};
    ins.noteMap[63] = {60, 1};
    ins.noteMap[64] = {64, 2};
    return ins;
}

// Plays `first` on row 0 and `second` on row 1 of channel 0, up to the second's first tick.
std::unique_ptr<ItSong> twoNotes(const ItTestInstrument& ins, int first, int second) {
    auto song = playIt(itSong({{0, 0, {first, 1}}, {1, 0, {second, 1}}}, {ins}));
    song->enter();
    return song;
}

uint16_t releaseFlags(ItSong& song, uint32_t voice) {
    return song.it().voices[voice].volumeEnvelopeState.flags & (Released | Fading);
}

TEST(ItNewNoteAction, AMutedChannelSilencesTheNotesItLeftBehind) {
    // Channel 0 moves to voice 1 for its second note while the first goes on in voice 0.
    auto song = twoNotes(twoSamples(ItActionContinue), 60, 64);
    ASSERT_TRUE(song->sounds(0) && song->sounds(1));
    for (const auto& [mutedChannels, silent] : {std::pair{1u, true}, {2u, false}}) {
        std::vector<int16_t> out(2 * 64);
        const RenderFormat format{.mutedChannels = mutedChannels};
        song->mixer->render(64, out.data(), &format);
        EXPECT_EQ(std::count(out.begin(), out.end(), 0) == 128, silent) << mutedChannels;
    }
}

TEST(ItNewNoteAction, CutContinueFadeNoteOffDuplicateChecksAndPastNoteActions) {
    auto cut = twoNotes(twoSamples(ItActionCut), 60, 64);
    const ItChannel& v = cut->it().voices[0];
    EXPECT_EQ((Ints{cut->it().voiceOf(0), v.background, int(v.note), cut->sounds(1)}),
              (Ints{0, 0, 64, 0}));
    EXPECT_EQ(cut->voice(0).data, cut->it().module.samples[1].data);
    // Where the old note goes on, the duplicate check's cases show; here its age.
    auto song = twoNotes(twoSamples(ItActionContinue), 60, 64);
    const ItChannel& old = song->it().voices[0];
    EXPECT_EQ((Ints{int(old.note), int(old.age)}), (Ints{60, 1}));
    song->ticks(2);
    EXPECT_EQ(old.age, 3u);
    song = playIt(itSong("60 1 S74, 62 1", {twoSamples(ItActionCut)}));
    song->enter();
    EXPECT_EQ((Ints{song->it().voiceOf(0), song->sounds(0)}), (Ints{1, 1}));
    // The old note either meets the duplicate check (and is cut), or keeps what its new-note
    // action gave it. Notes are compared as written.
    for (uint8_t nna : {ItActionContinue, ItActionNoteOff, ItActionFade})
        for (int second : {60, 62, 63, 64})
            for (uint8_t dct : {ItDctOff, ItDctNote, ItDctSample, ItDctInstrument}) {
                SCOPED_TRACE(testing::Message() << int{nna} << " " << second << " " << int{dct});
                const bool duplicate = dct == ItDctInstrument ||
                                       (dct == ItDctNote && second == 60) ||
                                       (dct == ItDctSample && second != 64);
                auto song = twoNotes(twoSamples(nna, dct), 60, second);
                ASSERT_EQ(song->it().voiceOf(0), 1);
                ASSERT_TRUE(song->it().voices[0].background);
                EXPECT_EQ(song->sounds(0), !duplicate);
                EXPECT_TRUE(song->sounds(1));
                if (!duplicate) {
                    EXPECT_EQ(releaseFlags(*song, 0), nna == ItActionContinue  ? 0
                                                      : nna == ItActionNoteOff ? Released | Fading
                                                                               : Fading);
                }
                EXPECT_EQ(releaseFlags(*song, 1), 0);
            }
    // The duplicate actions note off and fade.
    for (uint8_t dca : {1, 2}) {
        auto song = twoNotes(twoSamples(ItActionContinue, ItDctNote, dca), 60, 60);
        EXPECT_TRUE(song->sounds(0));
        EXPECT_EQ(releaseFlags(*song, 0), dca == 1 ? Released | Fading : Fading);
    }
    // Instrument 1 would cut every old note of its own, but the note of instrument 2 checks
    // with instrument 2, which has no check.
    song = playIt(itSong("60 1, 60 2", {twoSamples(ItActionContinue, ItDctInstrument),
                                        twoSamples(ItActionContinue)}));
    song->enter();
    EXPECT_TRUE(song->it().voices[0].background);
    EXPECT_TRUE(song->sounds(0) && song->sounds(1));
    // Fade lowers the old note every tick until it stops.
    ItTestInstrument ins = twoSamples(ItActionFade);
    ins.fadeOut = 256;
    song = twoNotes(ins, 60, 62);
    EXPECT_EQ((Ints{song->it().voices[0].fadeVolume, song->it().voices[1].fadeVolume,
                    song->voice(0).targetVolume}),
              (Ints{768, 1024, 96}));
    EXPECT_EQ(song->trace(4, false,
                          [](ItSong& s) {
                              return Ints{s.it().voices[0].fadeVolume, s.sounds(0), s.sounds(1)};
                          }),
              (std::vector<Ints>{{512, 1, 1}, {256, 1, 1}, {0, 1, 1}, {0, 0, 1}}));
    // Note off leaves the sustain loop for the normal loop; from past its end, the note goes on
    // where that loop would have taken it: 200 + (950 - 200) % 100.
    ItFileBuilder b = itSong("60 1, 62 1", {twoSamples(ItActionNoteOff)});
    b.samples[0].flags = 0x01 | 0x10 | 0x20;
    std::tie(b.samples[0].loopStart, b.samples[0].loopEnd, b.samples[0].sustainStart,
             b.samples[0].sustainEnd) = std::tuple(200, 300, 600, 1000);
    song = playIt(b);
    const uint8_t* data = song->it().module.samples[0].data;
    song->rows();
    EXPECT_EQ(song->voice(0).end, data + 1000);
    song->mixer->setVoiceRegion(0, {data, 950, 1000, 600});
    song->ticks();
    EXPECT_EQ((std::vector{song->voice(0).position, song->voice(0).end, song->voice(0).loopStart,
                           song->voice(1).end}),
              (std::vector{data + 250, data + 300, data + 200, data + 1000}));
    // S70 to S72 reach the background notes of their own channel only.
    for (auto [command, sounds, flags] : {std::tuple{"S70", false, 0},
                                          {"S71", true, Released | Fading},
                                          {"S72", true, int{Fading}}}) {
        auto song = playIt(itSong(std::string("60 1 | 60 1, 62 1 | 62 1, ") + command,
                                  {twoSamples(ItActionContinue)}));
        song->rows(2);
        // Channel 0 moved from voice 0 to 2, channel 1 from voice 1 to 3.
        ASSERT_EQ((Ints{song->it().voiceOf(0), song->it().voiceOf(1)}), (Ints{2, 3}));
        song->ticks();
        EXPECT_EQ((Ints{song->sounds(0), releaseFlags(*song, 0), song->sounds(1), song->sounds(2),
                        releaseFlags(*song, 1)}),
                  (Ints{sounds, flags, 1, 1, 0}))
            << command;
    }
}

// Channel 5 plays a looped note on every row and lets each one go on in the background.
TEST(ItVoiceAllocation, VoicesForEveryNoteSampleModeNoteCommandsAndNoteMap) {
    std::vector<ItPlacedCell> cells;
    for (uint32_t r = 0; r < 70; ++r)
        cells.push_back({r, 5, {60, 1}});
    ItFileBuilder b = itSong(cells, {twoSamples(ItActionContinue)}, 70);
    b.speed = 1;
    auto song = playIt(b);
    std::vector<Ints> expected = {{0}, {5}, {1}, {2}, {3}, {4}};
    for (int v = 6; v < 64; ++v)
        expected.push_back({v});
    // All 64 sound: voice 5 is the channel's own, then the one longest in the background.
    expected.insert(expected.end(), {{5}, {0}, {5}});
    EXPECT_EQ(song->trace(67, false, [](ItSong& s) { return Ints{s.it().voiceOf(5)}; }), expected);
    for (uint32_t v = 0; v < ItVoices; ++v)
        EXPECT_TRUE(song->sounds(v)) << v;
    cells = {{1, 2, {72, 1}}, {2, 0, {254}}, {3, 1, {62, 1}}};
    for (uint32_t k = 0; k < 64; ++k)
        cells.push_back({0, k, {60, 1}});
    song = playIt(itSong(cells, {twoSamples(ItActionContinue)}));
    song->rows();
    for (uint32_t k = 0; k < 64; ++k)
        ASSERT_EQ(song->it().voiceOf(k), static_cast<int>(k));
    song->rows();
    EXPECT_EQ((Ints{song->it().voiceOf(2), int(song->channel(2).note), int(song->voice(2).step)}),
              (Ints{2, 72, 2 * 8363 * 65536 / 44100}));
    song->rows();
    ASSERT_FALSE(song->sounds(0));
    song->ticks();
    // Channel 1's new note takes the silent voice 0; channel 0 keeps its state parked.
    ItPlayer& it = song->it();
    EXPECT_EQ((Ints{it.voiceOf(1), it.voiceOf(0), int(it.parkedChannels[0].note),
                    it.voices[1].background}),
              (Ints{0, -1, 60, 1}));
    // Sample mode: channels play on their own voices; channel 1 is disabled and starts nothing.
    b = itSong("| 60 1 | | 60 1, | | | 64 1");
    b.channelPan[1] = 0x80 | 32;
    song = playIt(b);
    song->enter();
    EXPECT_EQ((Ints{song->it().voiceOf(3), int(song->channel(3).note)}), (Ints{3, 64}));
    for (uint32_t v = 0; v < ItVoices; ++v) {
        EXPECT_FALSE(song->it().voices[v].background) << v;
        EXPECT_EQ(song->sounds(v), v == 3) << v;
    }
    b = itSong("60 1, 254 2, 60, i1, i9");
    b.samples[1].rate = 16726;
    b.samples[1].volume = 32;
    song = playIt(b);
    song->enter(2);
    // Middle C at 16726 Hz: 16726 / 44100 of a frame a frame, in 1/65536.
    EXPECT_EQ((Ints{song->sounds(0), song->channel(0).volume, int(song->voice(0).step)}),
              (Ints{1, 32, 24856}));
    // Another sample number alone starts the last note with that sample; one with no sample
    // silences it.
    song->enter();
    EXPECT_EQ(song->voice(0).data, song->channel(0).sample->data);
    song->enter();
    EXPECT_FALSE(song->sounds(0));
    // Note cut stops at once, note off releases, fade fades.
    ItTestInstrument ins{.fadeOut = 1024, .volume = {0x01 | 0x04, {{0, 64}, {1, 32}}}};
    song = playIt(itSong("60 1 | 60 1 | 60 1, 254 | 255 | 130", {ins}));
    song->enter();
    EXPECT_EQ((Ints{song->sounds(0), song->channel(1).volumeEnvelopeState.flags & Released,
                    song->channel(2).volumeEnvelopeState.flags & Released}),
              (Ints{0, Released, 0}));
    song->ticks();
    // The released sustain runs to its last node, 32, and fades; the faded note goes at once.
    EXPECT_EQ((Ints{song->sounds(1), song->channel(1).volumeEnvelopeState.value, song->sounds(2)}),
              (Ints{1, 32 * 256, 0}));
    // A number naming no instrument starts nothing, nor do notes without a number after it:
    // the note playing goes on, with old effects too.
    for (auto [number, oldEffects] : {std::pair{2, false}, {200, false}, {9, true}}) {
        ItFileBuilder b =
            itSong({{0, 0, {60, 1}}, {1, 0, {62, number}}, {2, 0, {64}}}, {ItTestInstrument{}});
        b.flags |= oldEffects ? 0x10 : 0;
        auto song = playIt(b);
        song->enter(2);
        EXPECT_EQ((Ints{song->sounds(0), int(song->channel(0).note)}), (Ints{1, 60})) << number;
    }
    ins = {};
    ins.noteMap[60] = {72, 2};
    b = itSong("60 1, i1", {ins});
    b.samples[1].volume = 20;
    song = playIt(b);
    song->ticks();
    EXPECT_EQ(song->voice(0).data, song->it().module.samples[1].data);
    EXPECT_EQ(song->voice(0).step, 2u * 8363 * 65536 / 44100);
    // The number alone maps note 60 again, not 72: sample 2 at its default volume 20, note 72.
    for (uint32_t row = 0; row < 2; ++row) {
        const ItChannel& c = song->channel(0);
        EXPECT_EQ(c.sample, &song->it().module.samples[1]);
        EXPECT_EQ((Ints{int(c.note), c.volume}), (Ints{72, 20}));
        song->enter();
    }
    // Before any note the note memory is C-5: the number alone takes the sample C-5 maps to,
    // and its volume 20, for the note after it.
    ins = {};
    ins.noteMap[60] = {60, 2};
    b = itSong("i1, 60", {ins});
    b.samples[1].volume = 20;
    song = playIt(b);
    song->enter();
    EXPECT_EQ((Ints{song->sounds(0), song->channel(0).volume}), (Ints{1, 20}));
    EXPECT_EQ(song->voice(0).data, song->it().module.samples[1].data);
    // A note its instrument maps to no sample is not played: note 60 goes on, and the next
    // note without a number maps through that instrument, 72 to 74.
    ins = {};
    ins.noteMap[61] = {61, 0};
    ins.noteMap[72] = {74, 1};
    song = playIt(itSong("60 1, 61 2, 72", {{}, ins}));
    for (int note : {60, 74}) {
        song->enter();
        EXPECT_EQ((Ints{song->sounds(0), int(song->channel(0).note)}), (Ints{1, note}));
    }
    // A tone portamento to a note that maps to no sample leaves the note as it plays, with a
    // number or without; to a sample that is not there it stops the note. Without a number it
    // slides to the note the keyboard maps, 72 to 74, up 32 a tick.
    for (auto [cells, sample, expected] : {std::tuple{"60 1, 72 1 G08", 0, Ints{1, 60, 0}},
                                           {"60 1, 72 G08", 0, Ints{1, 60, 0}},
                                           {"60 1, 72 1 G08", 9, Ints{0, 74, 0}},
                                           {"60 1, 72 G08", 1, Ints{1, 74, -64}}}) {
        ins = {};
        ins.noteMap[72] = {74, static_cast<uint8_t>(sample)};
        song = playIt(itSong(cells, {ins}));
        song->enter(2);
        const ItChannel& c = song->channel(0);
        EXPECT_EQ((Ints{song->sounds(0), int(c.note), c.slideOffset}), expected) << cells;
    }
    // A tone portamento with a number to a note of another sample (at twice the rate) starts
    // that sample at the pitch sounding, 8363 Hz, and slides two octaves up to note 72 at its
    // rate in two ticks of 1020 units; the compatible one keeps the sample and its rate.
    for (auto [compatible, target] : {std::pair{0, 4}, {0x20, 2}}) {
        ins = {};
        ins.noteMap[72] = {72, 2};
        b = itSong("60 1, 72 1 GFF", {ins});
        b.samples[1].rate = 16726;
        b.flags |= compatible;
        song = playIt(b);
        song->enter();
        const Voice& v = song->voice(0);
        const int sample = v.data == song->it().module.samples[1].data ? 2 : 1;
        EXPECT_EQ((Ints{sample, int(v.step)}), (Ints{compatible ? 1 : 2, 8363 * 65536 / 44100}));
        song->ticks(2);
        EXPECT_EQ(song->voice(0).step, target * 8363u * 65536 / 44100) << compatible;
    }
    // Beside a note off's fade a portamento with another instrument's number lets the fade go
    // on, 100 a tick over four ticks, unless it starts another sample, which takes the note off
    // back.
    for (auto [sample, fade] : {std::pair{1, 624}, {2, 1024}}) {
        song = playIt(itSong("60 1, 255, 72 2 GFF",
                             {{.fadeOut = 100}, {.sample = uint8_t(sample), .fadeOut = 100}}));
        song->enter(2);
        const ItChannel& c = song->channel(0);
        EXPECT_EQ((Ints{c.fadeVolume, (c.volumeEnvelopeState.flags & 0xC00) != 0}),
                  (Ints{fade, sample == 1}));
    }
    // In sample mode the compatible one slides on with the sample playing, at its volume, even
    // at a number naming no sample; the other stops the note there.
    for (auto [compatible, number, expected] :
         {std::tuple{0x20, 2, Ints{1, 1, 64, 2}}, {0x20, 9, Ints{1, 1, 64, 2}}, {0, 9, Ints{0}}}) {
        b = itSong("60 1, 72 " + std::to_string(number) + " GFF");
        b.samples[1].volume = 20;
        b.flags |= compatible;
        song = playIt(b);
        song->enter();
        song->ticks(2);
        const Voice& v = song->voice(0);
        const int step = int(v.step / (8363u * 65536 / 44100));
        const Ints seen = {song->sounds(0), v.data == song->it().module.samples[0].data,
                           song->channel(0).volume, step};
        EXPECT_EQ(Ints(seen.begin(), seen.begin() + long(expected.size())), expected) << number;
    }
    // Another instrument's number alone starts the note again, even on the same sample; the
    // channel's own lets it play on: 100 frames at 8363 Hz are 18 frames in.
    for (auto [number, offset] : {std::pair{2, 0}, {1, 18}}) {
        song = playIt(itSong({{0, 0, {60, 1}}, {1, 0, {-1, number}}}, {{}, {}}));
        song->ticks();
        std::vector<int16_t> out(2 * 100);
        song->mixer->render(100, out.data(), nullptr);
        song->ticks(3);
        const Voice& v = song->voice(uint32_t(song->it().voiceOf(0)));
        EXPECT_EQ(v.position - v.data, offset) << number;
    }
    ins = {.newNoteAction = ItActionContinue};
    ins.noteMap[64] = {64, 2};
    ins.volume = {0x01 | 0x04, {{0, 64}, {2, 32}}};
    song = playIt(itSong("60 1 v32, 255, 64", {ins}));
    song->enter(2);
    const ItChannel& ch = song->channel(0);
    EXPECT_EQ((Ints{song->it().voiceOf(0), ch.volume, ch.volumeEnvelopeState.value,
                    ch.volumeEnvelopeState.flags & Released, song->it().voices[0].background}),
              (Ints{1, 32, 16384, 0, 1}));
    EXPECT_EQ(song->voice(1).data, song->it().module.samples[1].data);
}

} // namespace
} // namespace tolva::test
