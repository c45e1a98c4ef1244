#include "formats/it/ItPlayer.h"
#include "song/MemoryStream.h"
#include "support/ItHarness.h"

#include <gtest/gtest.h>
#include <string>

namespace tolva::test {
namespace {

using Longs = std::vector<int64_t>;

struct Loaded {
    SampleStoreMixer mixer;
    ItLoadError error = ItLoadError::None;
    std::unique_ptr<Player> player;
};

std::unique_ptr<Loaded> load(const ItFileBuilder& b, bool withMixer = true) {
    auto l = std::make_unique<Loaded>();
    MemoryStream stream(b.build());
    l->player = loadIt(stream, !withMixer, withMixer ? &l->mixer : nullptr, &l->error);
    return l;
}

ItTestSample sampleOf(uint32_t frames, uint8_t flags) {
    ItTestSample s;
    s.frames = frames;
    s.flags = flags;
    s.data.assign(frames * (flags & 0x02 ? 2 : 1) * (flags & 0x04 ? 2 : 1), 0);
    return s;
}

TEST(ItPlayerRecords, SongFactsForTheInformationDialog) {
    ItFileBuilder b;
    b.createdWith = 0x0217;
    b.flags = 0x0D;
    b.message = "line\rnext\r";
    const uint8_t pans[] = {0, 64, 100, 0x80 | 32};
    std::copy(std::begin(pans), std::end(pans), b.channelPan);
    b.channelVolume[1] = 20;
    b.mixVolume = 64;
    b.instruments = {itInstrumentRecord("a", 1), itInstrumentRecord("b", 1)};
    auto l = load(b);
    ASSERT_TRUE(l->player) << itLoadErrorText(l->error);
    Player& p = *l->player;
    EXPECT_EQ((Longs{p.formatType(), p.channelCount(), p.instrumentCount(), p.song.slideUpUnit,
                     p.song.bcdPatternBreak, p.noteCutStopsVoice}),
              (Longs{5, 64, 2, -4, 0, 1}));
    EXPECT_FLOAT_EQ(p.defaultGain(), 64 * 0.3f * 0.5f);
    char text[CreatorTextSize];
    p.creatorText(text, sizeof text);
    EXPECT_STREQ(text, " 2.17 (ModPlug)");
    EXPECT_STREQ(p.songMessage(), "line\r\nnext\r\n");
    EXPECT_EQ(load(ItFileBuilder{})->player->songMessage(), nullptr);
    SongDescription song;
    p.describeSong(song);
    EXPECT_EQ(
        (Longs{song.modeFlags, song.channelPanning[0], song.channelPanning[1],
               song.channelPanning[2], song.channelSurround[2], song.channelDisabled[3],
               song.channelDisabled[2], song.channelVolume[1], song.orders[0], song.orders[1]}),
        (Longs{ModeLinearSlides | ModeInstruments, 0, 255, 128, 1, 1, 0, 20, 0, OrderEnd}));
}

TEST(ItPlayerRecords, SamplesAreDescribedInFrames) {
    ItFileBuilder b;
    ItTestSample s = sampleOf(100, 0x01 | 0x02 | 0x04 | 0x10 | 0x40 | 0x80);
    s.loopStart = 10;
    s.loopEnd = 90;
    s.sustainStart = 5;
    s.sustainEnd = 6;
    s.convert = 0;
    s.defaultPan = 0x80 | 48;
    b.samples = {s, sampleOf(10, 0x01 | 0x20 | 0x80)};
    auto l = load(b);
    ASSERT_TRUE(l->player);
    SampleDescription d;
    l->player->describeSample(d, 0, 0);
    EXPECT_EQ((Longs{d.length, d.loopStart, d.loopEnd, d.sustainLoopEnd, d.referenceOctave,
                     d.defaultPanning}),
              (Longs{100, 10, 90, 6, 5, 48}));
    EXPECT_EQ(d.typeFlags, SampleType16Bit | SampleTypeUnsigned | SampleTypeStereo);
    EXPECT_EQ(d.loopKind, LoopPingPong);
    EXPECT_EQ(d.sustainLoopKind, LoopNone); // ping-pong bit without its loop bit
    EXPECT_EQ(d.fieldMask & (SampleFieldDefaultPanning | SampleFieldSustainLoop),
              SampleFieldDefaultPanning | SampleFieldSustainLoop);
    EXPECT_NE(d.data, nullptr);
    EXPECT_TRUE(d.present);
    l->player->describeSample(d, 1, 0);
    EXPECT_EQ(d.sustainLoopKind, LoopPingPong);
    EXPECT_EQ(d.loopKind, LoopNone);
    EXPECT_FALSE(d.fieldMask & SampleFieldDefaultPanning);
    l->player->describeSample(d, 2, 0);
    EXPECT_EQ(d.fieldMask, 0u);
}

TEST(ItPlayerRecords, InstrumentsAreDescribedInTheNewLayoutInInstrumentModeOnly) {
    ItFileBuilder b;
    b.flags = 0x05;
    b.compatibleWith = 0x0100;
    std::vector<uint8_t> old = itInstrumentRecord("old", 3, true);
    old[0x1A] = ItNnaContinue;
    putWord(old, 0x18, 100);
    b.instruments = {old};
    auto l = load(b);
    ASSERT_TRUE(l->player);
    InstrumentDescription d;
    l->player->describeInstrument(d, 0);
    ASSERT_TRUE(d.valid);
    EXPECT_EQ(d.size, 550u);
    ItInstrument back;
    ASSERT_TRUE(parseItInstrument(d.bytes, back));
    EXPECT_EQ(back.newNoteAction, ItNnaContinue);
    EXPECT_EQ(back.fadeOut, 200);
    EXPECT_EQ(back.pitchPanCentre, 60);
    EXPECT_EQ(back.noteMap[50].sample, 3);
    EXPECT_EQ(std::string(back.name), "old" + std::string(22, ' '));
    l->player->describeInstrument(d, 1);
    EXPECT_FALSE(d.valid);
    b.flags = 0x01; // sample mode: instruments exist but are not shown as such
    load(b)->player->describeInstrument(d, 0);
    EXPECT_FALSE(d.valid);
}

TEST(ItPlayerRecords, PatternsAreDescribedByTheirPackedRows) {
    ItFileBuilder b;
    b.orders = {0, 1, 2, 255};
    b.patterns = {{48, {0x81, 0x01, 60, 0}}, {64, {}, true}, {0, {}}}; // no rows, no data
    auto l = load(b);
    ASSERT_TRUE(l->player);
    PatternDescription d;
    l->player->describePattern(d, 0);
    EXPECT_EQ(d.rows, 48u);
    ASSERT_EQ(d.size, 4u);
    EXPECT_EQ(d.cells[0], 0x81);
    for (uint32_t missing : {1u, 2u}) {
        l->player->describePattern(d, missing);
        EXPECT_EQ(d.rows, 64u);
        EXPECT_EQ(d.cells, nullptr);
    }
    EXPECT_TRUE(l->player->isPatternMissing(2));
}

TEST(ItPlayerRecords, LoadsWithoutAMixerAreForInformationOnly) {
    ItFileBuilder b;
    b.samples = {sampleOf(50, 0x01)};
    auto info = load(b, false);
    ASSERT_TRUE(info->player);
    EXPECT_EQ(info->player->sample(0)->length, 50u);
    MemoryStream stream(b.build());
    ItLoadError error;
    EXPECT_EQ(loadIt(stream, false, nullptr, &error), nullptr);
    EXPECT_EQ(error, ItLoadError::NoMixer);
    // A refused file gives the sample data already loaded back.
    ItTestSample bad = sampleOf(10, 0x01 | 0x08);
    bad.data.assign(10, 0xFF); // compressed, but no valid block chain
    b.samples = {sampleOf(50, 0x01), sampleOf(60, 0x03), bad};
    auto refused = load(b);
    EXPECT_EQ(refused->player, nullptr);
    EXPECT_EQ(refused->error, ItLoadError::SampleData);
    EXPECT_EQ(refused->mixer.liveBlocks(), 0u);
}

TEST(ItPlayerSequencing, RowsAreWalkedAndCellsDecodedUntilTheOrderListEnds) {
    ItFileBuilder b;
    b.speed = 3;
    b.orders = {0, 254, 1, 255};
    b.patterns = {{32, {0x81, 0x0B, 60, 2, 15, 0x45, 0}}, // O45: no sample to offset
                  {0, {0}}};                              // claims no rows: plays as 64
    auto l = load(b);
    ASSERT_TRUE(l->player);
    Player& p = *l->player;
    p.restartSong();
    ASSERT_TRUE(p.onTick(0, 0));
    EXPECT_EQ(p.song.rowsPerPattern, 32u);
    EXPECT_EQ(p.channel(0).cellNote, 60);
    EXPECT_EQ(p.channel(0).cellInstrument, 2);
    EXPECT_EQ(p.channel(0).cellEffect, 15);
    EXPECT_EQ(p.channel(0).cellParam, 0x45);
    uint32_t ticks = 1;
    while (p.onTick(0, 0))
        ++ticks;
    EXPECT_EQ(ticks, (32u + 64u) * 3u);
    EXPECT_TRUE(p.isEnded());
}

} // namespace
} // namespace tolva::test
