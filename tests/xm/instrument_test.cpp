#include "support/XmBuilder.h"
#include "support/XmHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

class XmInstruments : public ::testing::Test {
protected:
    void start(XmBuilder& b) {
        player = playXm(b.build(), mixer);
        ASSERT_TRUE(player);
    }

    const XmSample* sampleOf(uint32_t instrument, uint32_t sample) {
        return player->instruments[instrument]->samples[sample];
    }

    XmChannel& ch() { return player->channels[0]; }

    RecordingMixer mixer;
    std::unique_ptr<XmPlayer> player;
};

XmInstrumentDef twoSamplesSplitAtC4() {
    XmInstrumentDef i = xmInstrument(xmSquare(32));
    i.samples.push_back(xmSquare(64));
    for (uint32_t n = 48; n < 96; ++n)
        i.noteMap[n] = 1;
    return i;
}

TEST_F(XmInstruments, NoteMapChoosesTheSample) {
    XmBuilder b(1);
    b.instrument(twoSamplesSplitAtC4()).cell(0, 0, 0, xmNote(47, 1)).cell(0, 1, 0, xmNote(48, 1));
    start(b);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].data, sampleOf(0, 0)->data);
    EXPECT_EQ(mixer.voices[0].end, 32u);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].data, sampleOf(0, 1)->data);
    EXPECT_EQ(mixer.voices[0].end, 64u);
}

TEST_F(XmInstruments, NotesThatFindNoSamplePlayNothing) {
    XmInstrumentDef lengthZero = xmInstrument();
    lengthZero.samples.push_back(XmSampleDef{});
    for (uint32_t n = 48; n < 96; ++n)
        lengthZero.noteMap[n] = 1;
    XmBuilder b(1);
    b.instrument(xmInstrument())
        .instrument(XmInstrumentDef{}) // no samples at all
        .instrument(lengthZero)
        .cell(0, 0, 0, xmNote(48, 1))
        .cell(0, 1, 0, xmNote(48, 2))
        .cell(0, 2, 0, xmNote(48, 1))
        .cell(0, 3, 0, xmNote(48, 9)) // beyond the song's instruments
        .cell(0, 4, 0, xmNote(48, 1))
        .cell(0, 5, 0, xmNote(48, 3)); // maps to a sample of length 0
    start(b);
    for (int row = 0; row < 6; ++row) {
        playRow(*player);
        EXPECT_EQ(mixer.voices[0].active, row % 2 == 0) << row;
        EXPECT_EQ(ch().sample != nullptr, row % 2 == 0) << row;
    }
}

TEST_F(XmInstruments, NoteWithoutInstrumentKeepsSampleAndVolume) {
    XmBuilder b(1);
    b.instrument(twoSamplesSplitAtC4())
        .cell(0, 0, 0, xmNote(48, 1, 0x30))
        .cell(0, 1, 0, xmNote(47));
    start(b);
    playRow(*player);
    playTick(*player);
    EXPECT_EQ(mixer.voices[0].starts, 2u);
    EXPECT_EQ(mixer.voices[0].data, sampleOf(0, 1)->data); // the map is not asked again
    EXPECT_EQ(mixer.voices[0].volume, 64);
}

TEST_F(XmInstruments, InstrumentWithoutNoteResetsThePlayingSound) {
    XmSampleDef s = xmSquare();
    s.volume = 48;
    s.panning = 64;
    s.finetune = 32;
    XmInstrumentDef i = xmInstrument(s);
    i.volumeEnvelope = {{{0, 64}, {2, 0}}, 0, 0, 0, 1};
    i.fadeout = 0x1000;
    XmBuilder b(1);
    b.instrument(i)
        .cell(0, 0, 0, xmNote(48, 1, 0x20, 8, 0xFF))
        .cell(0, 1, 0, {XmFileKeyOff, 0, 0, 0xE, 0x50})
        .cell(0, 2, 0, {0, 1, 0, 0, 0});
    start(b);
    playRow(*player);
    playRow(*player);
    EXPECT_EQ(ch().volume, 16);
    EXPECT_EQ(ch().panning, 255);
    EXPECT_LT(ch().fadeVolume, 32768);
    playTick(*player);
    EXPECT_EQ(mixer.voices[0].starts, 1u);
    EXPECT_EQ(ch().volume, 48);
    EXPECT_EQ(ch().panning, 64);
    EXPECT_EQ(int8_t(ch().finetune), 32);
    EXPECT_EQ(ch().fadeVolume, 32768);
    EXPECT_FALSE(ch().volumeEnvelope.flags & EnvelopeReleased);
    EXPECT_EQ(mixer.voices[0].volume, 96); // the envelope starts again from its first point
    EXPECT_EQ(mixer.voices[0].panning, 63);
}

TEST_F(XmInstruments, KeyOffNotesAreEverythingFrom97) {
    XmBuilder b(2);
    b.instrument(xmInstrument())
        .cell(0, 0, 0, xmNote(48, 1))
        .cell(0, 0, 1, xmNote(48, 1))
        .cell(0, 1, 0, {97, 0, 0, 0, 0})
        .cell(0, 1, 1, {127, 0, 0, 0, 0});
    start(b);
    playRow(*player);
    playTick(*player);
    EXPECT_EQ(mixer.voices[0].volume, 0);
    EXPECT_EQ(mixer.voices[1].volume, 0);
}

TEST_F(XmInstruments, LoopKindsReachTheMixer) {
    XmSampleDef pingPong = xmSquare();
    pingPong.loopType = 2;
    XmSampleDef wide;
    wide.sixteenBit = true;
    wide.pcm = std::vector<int16_t>(16, 1000);
    XmInstrumentDef i = xmInstrument(pingPong);
    i.samples.push_back(wide);
    for (uint32_t n = 48; n < 96; ++n)
        i.noteMap[n] = 1;
    XmBuilder b(2);
    b.instrument(i).cell(0, 0, 0, xmNote(47, 1)).cell(0, 0, 1, xmNote(48, 1));
    start(b);
    playTick(*player);
    EXPECT_EQ(mixer.voices[0].flags, 0x01 | 0x08 | 0x10); // active, loop, ping-pong
    EXPECT_EQ(mixer.voices[1].flags, 0x01 | 0x04);        // active, 16-bit, no loop
    EXPECT_EQ(mixer.voices[1].end, 32u);
}

TEST_F(XmInstruments, SampleOffsetCountsFramesAndPastTheEndIsSilent) {
    XmSampleDef wide;
    wide.sixteenBit = true;
    wide.pcm = std::vector<int16_t>(600, 1000);
    XmBuilder b(1);
    b.instrument(xmInstrument(wide))
        .cell(0, 0, 0, xmNote(48, 1, 0, 9, 0x02))
        .cell(0, 1, 0, xmNote(48, 1, 0, 9, 0x03));
    start(b);
    playTick(*player);
    EXPECT_TRUE(mixer.voices[0].active);
    EXPECT_EQ(mixer.voices[0].startOffset, 1024u); // 512 frames of 2 bytes
    playRow(*player);
    playTick(*player);
    EXPECT_FALSE(mixer.voices[0].active); // 768 frames lie past the 600 there are
}

} // namespace
} // namespace tolva::test
