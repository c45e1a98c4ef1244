#include "support/XmBuilder.h"
#include "support/XmHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(XmDescriptions, SongSaysFrequencyTableAndInstrumentMode) {
    for (bool linear : {true, false}) {
        RecordingMixer mixer;
        auto player = playXm(XmBuilder(6)
                                 .linearFrequencies(linear)
                                 .speed(5)
                                 .tempo(140)
                                 .instrument(xmInstrument())
                                 .build(),
                             mixer);
        ASSERT_TRUE(player);
        SongDescription d;
        player->describeSong(d);
        EXPECT_EQ(d.modeFlags, linear ? 3 : 2);
        EXPECT_EQ(d.showChannelSettings, 0);
        EXPECT_EQ(d.channelCount, 6u);
        EXPECT_EQ(d.initialSpeed, 5);
        EXPECT_EQ(d.initialTempo, 140);
        EXPECT_EQ(d.orders, player->song.orders.data());
    }
}

TEST(XmDescriptions, SamplesOfAnInstrument) {
    XmSampleDef s = xmSquare(64);
    s.name = "lead";
    s.loopType = 2;
    s.loopStart = 8;
    s.loopLength = 40;
    s.finetune = -20;
    s.volume = 50;
    s.panning = 99;
    s.relativeNote = 7;
    XmSampleDef wide;
    wide.sixteenBit = true;
    wide.pcm = {1, 2, 3};
    XmInstrumentDef i = xmInstrument(s);
    i.samples.push_back(wide); // no note maps to it
    RecordingMixer mixer;
    auto player = playXm(XmBuilder().instrument(XmInstrumentDef{}).instrument(i).build(), mixer);
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->samplesBelongToInstruments());

    SampleDescription d;
    player->describeSample(d, 0, 1);
    EXPECT_EQ(d.fieldMask, 0x339Eu);
    EXPECT_STREQ(d.name, "lead");
    EXPECT_EQ(d.instrumentNumber, 2);
    EXPECT_EQ(d.length, 64u);
    EXPECT_TRUE(d.data);
    EXPECT_EQ(d.referenceRate, 8363u);
    EXPECT_EQ(d.referenceOctave, 4u);
    EXPECT_EQ(d.finetune, -20);
    EXPECT_EQ(d.defaultVolume, 50);
    EXPECT_EQ(d.defaultPanning, 99);
    EXPECT_EQ(d.typeFlags, 0);
    EXPECT_EQ(d.loopKind, LoopPingPong);
    EXPECT_EQ(d.loopStart, 8u);
    EXPECT_EQ(d.loopEnd, 48u);
    EXPECT_EQ(d.relativeNote, 7);
    EXPECT_TRUE(d.present);

    player->describeSample(d, 1, 1);
    EXPECT_EQ(d.typeFlags, SampleType16Bit);
    EXPECT_EQ(d.loopKind, LoopNone);
    EXPECT_FALSE(d.present);
    EXPECT_FALSE(d.data);

    player->describeSample(d, 0, 0); // instrument without samples
    EXPECT_EQ(d.fieldMask, 0u);
    player->describeSample(d, 2, 1); // no such sample
    EXPECT_EQ(d.fieldMask, 0u);
    player->describeSample(d, 0, 300);
    EXPECT_EQ(d.fieldMask, 0u);
}

} // namespace
} // namespace tolva::test
