#include "support/ItHarness.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(ItNoteCommands, CutStopsAtOnceOffReleasesFadeFades) {
    ItTestInstrument ins;
    ins.fadeOut = 1024;
    ins.volume = {0x01 | 0x04, {{0, 64}, {1, 32}}};
    ins.volume.sustainStart = 0;
    ins.volume.sustainEnd = 0;
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1}).cell(0, 1, {60, 1}).cell(0, 2, {60, 1});
    rows.cell(1, 0, {254}).cell(1, 1, {255}).cell(1, 2, {130});
    auto song = playIt(itSong(rows, {ins}));
    playRow(*song->player);
    playTick(*song->player);
    EXPECT_FALSE(song->sounds(0));
    const ItChannel& off = song->channel(1);
    EXPECT_EQ(off.volumeEnvelopeState.flags & ItEnvelopeReleased, ItEnvelopeReleased);
    EXPECT_EQ(song->channel(2).volumeEnvelopeState.flags & ItEnvelopeReleased, 0);
    playTick(*song->player);
    // The released sustain runs on to the last node, whose 32 starts the fade; the faded
    // note goes at once.
    EXPECT_TRUE(song->sounds(1));
    EXPECT_EQ(off.volumeEnvelopeState.value, 32 * 256);
    EXPECT_FALSE(song->sounds(2));
}

TEST(ItNoteCommands, MissingInstrumentsPlayNothing) {
    for (int number : {2, 200}) {
        ItPatternWriter rows;
        rows.cell(0, 0, {60, 1}).cell(1, 0, {62, number});
        auto song = playIt(itSong(rows, {ItTestInstrument{}}));
        playRow(*song->player);
        playTick(*song->player);
        EXPECT_FALSE(song->sounds(0)) << number;
        EXPECT_NE(song->channel(0).instrument, nullptr);
    }
}

TEST(ItNoteCommands, OldEffectsForgetTheInstrumentOfAMissingNumber) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1}).cell(1, 0, {62, 9});
    ItFileBuilder b = itSong(rows, {ItTestInstrument{}});
    b.flags |= 0x10;
    auto song = playIt(b);
    playRow(*song->player);
    playTick(*song->player);
    EXPECT_EQ(song->channel(0).instrument, nullptr);
}

TEST(ItNoteCommands, DisabledChannelsStartNoNotes) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1}).cell(0, 1, {60, 1});
    ItFileBuilder b = itSong(rows, {});
    b.channelPan[1] = 0x80 | 32;
    auto song = playIt(b);
    playTick(*song->player);
    EXPECT_TRUE(song->sounds(0));
    EXPECT_FALSE(song->sounds(1));
}

TEST(ItNoteCommands, NoteMapChoosesNoteAndSample) {
    ItTestInstrument ins;
    ins.noteMap[60] = {72, 2};
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1}).cell(1, 0, {-1, 1});
    ItFileBuilder b = itSong(rows, {ins});
    b.samples.push_back(rampSample(100, true));
    b.samples[1].volume = 20;
    auto song = playIt(b);
    playTick(*song->player);
    EXPECT_EQ(song->channel(0).note, 72u);
    EXPECT_EQ(song->channel(0).volume, 20);
    EXPECT_EQ(song->voice(0).data, song->it().module.samples[1].data);
    EXPECT_EQ(song->voice(0).step, 2u * 8363 * 65536 / 44100);
    // The number alone maps the pattern's note 60 again, not the mapped 72: sample 2 at its
    // default volume 20, note 72.
    playRow(*song->player);
    playTick(*song->player);
    EXPECT_EQ(song->channel(0).note, 72u);
    EXPECT_EQ(song->channel(0).sample, &song->it().module.samples[1]);
    EXPECT_EQ(song->channel(0).volume, 20);
}

TEST(ItNoteCommands, ANoteWithoutInstrumentReplaysTheInstrumentAtTheSameVolume) {
    ItTestInstrument ins;
    ins.newNoteAction = ItActionContinue;
    ins.noteMap[64] = {64, 2};
    ins.volume = {0x01 | 0x04, {{0, 64}, {2, 32}}};
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1, 32}).cell(1, 0, {255}).cell(2, 0, {64});
    ItFileBuilder b = itSong(rows, {ins});
    b.samples.push_back(rampSample(100, true));
    auto song = playIt(b);
    playRow(*song->player);
    playRow(*song->player);
    playTick(*song->player);
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
