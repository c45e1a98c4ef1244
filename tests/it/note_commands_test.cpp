#include "support/ItHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(ItNoteCommands, CutStopsAtOnceOffReleasesFadeFades) {
    ItTestInstrument ins;
    ins.fadeOut = 1024;
    ins.volume = {0x01 | 0x04, {{0, 64}, {1, 32}}};
    auto song = playIt(itSong({{0, 0, {60, 1}},
                               {0, 1, {60, 1}},
                               {0, 2, {60, 1}},
                               {1, 0, {254}},
                               {1, 1, {255}},
                               {1, 2, {130}}},
                              {ins}));
    song->rows();
    song->ticks();
    EXPECT_FALSE(song->sounds(0));
    EXPECT_EQ(song->channel(1).volumeEnvelopeState.flags & ItEnvelopeReleased, ItEnvelopeReleased);
    EXPECT_EQ(song->channel(2).volumeEnvelopeState.flags & ItEnvelopeReleased, 0);
    song->ticks();
    // The released sustain runs on to the last node, whose 32 starts the fade; the faded
    // note goes at once.
    EXPECT_TRUE(song->sounds(1));
    EXPECT_EQ(song->channel(1).volumeEnvelopeState.value, 32 * 256);
    EXPECT_FALSE(song->sounds(2));
}

// With old effects a missing number also forgets the channel's instrument.
TEST(ItNoteCommands, MissingInstrumentsPlayNothing) {
    for (auto [number, oldEffects] : {std::pair{2, false}, {200, false}, {9, true}}) {
        ItFileBuilder b = itSong({{0, 0, {60, 1}}, {1, 0, {62, number}}}, {ItTestInstrument{}});
        b.flags |= oldEffects ? 0x10 : 0;
        auto song = playIt(b);
        song->rows();
        song->ticks();
        EXPECT_FALSE(song->sounds(0)) << number;
        EXPECT_EQ(song->channel(0).instrument == nullptr, oldEffects) << number;
    }
}

TEST(ItNoteCommands, DisabledChannelsStartNoNotes) {
    ItFileBuilder b = itSong({{0, 0, {60, 1}}, {0, 1, {60, 1}}});
    b.channelPan[1] = 0x80 | 32;
    auto song = playIt(b);
    song->ticks();
    EXPECT_TRUE(song->sounds(0));
    EXPECT_FALSE(song->sounds(1));
}

TEST(ItNoteCommands, NoteMapChoosesNoteAndSample) {
    ItTestInstrument ins;
    ins.noteMap[60] = {72, 2};
    ItFileBuilder b = itSong({{0, 0, {60, 1}}, {1, 0, {-1, 1}}}, {ins});
    b.samples.push_back(rampSample(100, true));
    b.samples[1].volume = 20;
    auto song = playIt(b);
    song->ticks();
    EXPECT_EQ(song->voice(0).data, song->it().module.samples[1].data);
    EXPECT_EQ(song->voice(0).step, 2u * 8363 * 65536 / 44100);
    // The number alone maps the pattern's note 60 again, not the mapped 72: sample 2 at its
    // default volume 20, note 72.
    for (uint32_t row = 0; row < 2; ++row) {
        EXPECT_EQ(song->channel(0).note, 72u);
        EXPECT_EQ(song->channel(0).sample, &song->it().module.samples[1]);
        EXPECT_EQ(song->channel(0).volume, 20);
        song->rows();
        song->ticks();
    }
}

TEST(ItNoteCommands, ANoteWithoutInstrumentReplaysTheInstrumentAtTheSameVolume) {
    ItTestInstrument ins;
    ins.newNoteAction = ItActionContinue;
    ins.noteMap[64] = {64, 2};
    ins.volume = {0x01 | 0x04, {{0, 64}, {2, 32}}};
    ItFileBuilder b = itSong({{0, 0, {60, 1, 32}}, {1, 0, {255}}, {2, 0, {64}}}, {ins});
    b.samples.push_back(rampSample(100, true));
    auto song = playIt(b);
    song->rows(2);
    song->ticks();
    EXPECT_EQ(song->it().voiceOf(0), 1);
    const ItChannel& ch = song->channel(0);
    EXPECT_EQ(ch.volume, 32);
    EXPECT_EQ(ch.volumeEnvelopeState.value, 16384);
    EXPECT_EQ(ch.volumeEnvelopeState.flags & ItEnvelopeReleased, 0);
    EXPECT_EQ(song->voice(1).data, song->it().module.samples[1].data);
    EXPECT_TRUE(song->it().voices[0].background);
}

} // namespace
} // namespace tolva::test
