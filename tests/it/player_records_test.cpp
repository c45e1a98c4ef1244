#include "formats/it/ItPlayer.h"
#include "song/MemoryStream.h"
#include "support/ItFileBuilder.h"
#include "support/SampleStoreMixer.h"

#include <gtest/gtest.h>
#include <string>

using namespace tolva;
using test::ItFileBuilder;
using test::ItTestSample;

namespace {

struct Loaded {
    test::SampleStoreMixer mixer;
    ItLoadError error = ItLoadError::None;
    std::unique_ptr<Player> player;

    ItPlayer& it() { return static_cast<ItPlayer&>(*player); }
};

std::unique_ptr<Loaded> load(const ItFileBuilder& b, bool infoOnly = false) {
    auto l = std::make_unique<Loaded>();
    MemoryStream stream(b.build());
    l->player = loadIt(stream, infoOnly, &l->mixer, &l->error);
    return l;
}

ItTestSample sampleOf(uint32_t frames, uint8_t flags) {
    ItTestSample s;
    s.frames = frames;
    s.flags = flags;
    s.data.assign(frames * (flags & 0x02 ? 2 : 1) * (flags & 0x04 ? 2 : 1), 0);
    return s;
}

} // namespace

TEST(ItPlayerRecords, SongFactsForTheInformationDialog) {
    ItFileBuilder b;
    b.createdWith = 0x0217;
    b.flags = 0x0D;
    b.message = "line\rnext";
    b.channelPan[0] = 0;
    b.channelPan[1] = 64;
    b.channelPan[2] = 100;
    b.channelPan[3] = 0x80 | 32;
    b.channelVolume[1] = 20;
    b.mixVolume = 64;
    b.instruments = {test::itInstrumentRecord("a", 1), test::itInstrumentRecord("b", 1)};
    auto l = load(b);
    ASSERT_TRUE(l->player) << itLoadErrorText(l->error);
    Player& p = *l->player;
    EXPECT_EQ(p.formatType(), 5u);
    EXPECT_EQ(p.channelCount(), 64u);
    EXPECT_EQ(p.instrumentCount(), 2u);
    EXPECT_FLOAT_EQ(p.defaultGain(), 64 * 0.3f * 0.5f);
    char text[CreatorTextSize];
    p.creatorText(text, sizeof text);
    EXPECT_STREQ(text, " 2.17 (ModPlug)");
    EXPECT_STREQ(p.songMessage(), "line\r\nnext");
    EXPECT_EQ(p.song.slideUpUnit, -4);
    EXPECT_FALSE(p.song.bcdPatternBreak);
    EXPECT_TRUE(p.noteCutStopsVoice);

    SongDescription song;
    p.describeSong(song);
    EXPECT_EQ(song.modeFlags, ModeLinearSlides | ModeInstruments);
    EXPECT_EQ(song.channelPanning[0], 0);
    EXPECT_EQ(song.channelPanning[1], 255);
    EXPECT_EQ(song.channelPanning[2], 128);
    EXPECT_EQ(song.channelSurround[2], 1);
    EXPECT_EQ(song.channelDisabled[3], 1);
    EXPECT_EQ(song.channelDisabled[2], 0);
    EXPECT_EQ(song.channelVolume[1], 20);
    EXPECT_EQ(song.orders[0], 0);
    EXPECT_EQ(song.orders[1], OrderEnd);
}

TEST(ItPlayerRecords, SongsWithoutAMessageHaveNone) {
    auto l = load(ItFileBuilder{});
    ASSERT_TRUE(l->player);
    EXPECT_EQ(l->player->songMessage(), nullptr);
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
    EXPECT_EQ(d.length, 100u);
    EXPECT_EQ(d.loopStart, 10u);
    EXPECT_EQ(d.loopEnd, 90u);
    EXPECT_EQ(d.sustainLoopEnd, 6u);
    EXPECT_EQ(d.typeFlags, SampleType16Bit | SampleTypeUnsigned | SampleTypeStereo);
    EXPECT_EQ(d.loopKind, LoopPingPong);
    EXPECT_EQ(d.sustainLoopKind, LoopNone); // ping-pong bit without its loop bit
    EXPECT_EQ(d.referenceOctave, 5u);
    EXPECT_EQ(d.defaultPanning, 48);
    EXPECT_TRUE(d.fieldMask & SampleFieldDefaultPanning);
    EXPECT_TRUE(d.fieldMask & SampleFieldSustainLoop);
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
    std::vector<uint8_t> old = test::oldItInstrumentRecord("old", 3);
    old[0x1A] = ItNnaContinue;
    test::putWord(old, 0x18, 100);
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
    EXPECT_EQ(std::string(back.name), std::string(l->it().module.instruments[0].name));
    l->player->describeInstrument(d, 1);
    EXPECT_FALSE(d.valid);

    b.flags = 0x01; // sample mode: instruments exist but are not shown as such
    auto samples = load(b);
    samples->player->describeInstrument(d, 0);
    EXPECT_FALSE(d.valid);
}

TEST(ItPlayerRecords, PatternsAreDescribedByTheirPackedRows) {
    ItFileBuilder b;
    b.orders = {0, 1, 2, 255};
    b.patterns.assign(3, {});
    b.patterns[0] = {48, {0x81, 0x01, 60, 0}};
    b.patterns[1].absent = true;
    b.patterns[2] = {0, {}}; // no rows, no data
    auto l = load(b);
    ASSERT_TRUE(l->player);
    PatternDescription d;
    l->player->describePattern(d, 0);
    EXPECT_EQ(d.rows, 48u);
    ASSERT_EQ(d.size, 4u);
    EXPECT_EQ(d.cells[0], 0x81);
    l->player->describePattern(d, 1);
    EXPECT_EQ(d.rows, 64u);
    EXPECT_EQ(d.cells, nullptr);
    l->player->describePattern(d, 2);
    EXPECT_EQ(d.rows, 64u);
    EXPECT_EQ(d.cells, nullptr);
    EXPECT_TRUE(l->player->isPatternMissing(2));
}

TEST(ItPlayerRecords, RefusedFilesGiveTheirSampleDataBack) {
    ItFileBuilder b;
    ItTestSample bad = sampleOf(10, 0x01 | 0x08);
    bad.data.assign(10, 0xFF); // compressed, but no valid block chain
    b.samples = {sampleOf(50, 0x01), sampleOf(60, 0x03), bad};
    std::vector<uint8_t> file = b.build();
    test::SampleStoreMixer mixer;
    MemoryStream stream(file);
    ItLoadError error;
    EXPECT_EQ(loadIt(stream, false, &mixer, &error), nullptr);
    EXPECT_EQ(error, ItLoadError::SampleData);
    EXPECT_EQ(mixer.liveBlocks(), 0u);
}

TEST(ItPlayerRecords, InformationLoadsNeedNoMixer) {
    ItFileBuilder b;
    b.samples = {sampleOf(50, 0x01)};
    MemoryStream stream(b.build());
    auto player = loadIt(stream, true, nullptr);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->sample(0)->length, 50u);
    MemoryStream again(b.build());
    ItLoadError error;
    EXPECT_EQ(loadIt(again, false, nullptr, &error), nullptr);
    EXPECT_EQ(error, ItLoadError::NoMixer);
}

TEST(ItPlayerSequencing, RowsAreWalkedAndCellsDecodedUntilTheOrderListEnds) {
    ItFileBuilder b;
    b.speed = 3;
    b.orders = {0, 254, 1, 255};
    b.patterns.assign(2, {});
    b.patterns[0] = {32, {0x81, 0x0B, 60, 2, 15, 0x45, 0}}; // O45: no sample to offset
    b.patterns[1] = {0, {0}};                               // claims no rows: plays as 64
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
    EXPECT_EQ(l->it().cell(0).values.note, 60);
    uint32_t ticks = 1;
    while (p.onTick(0, 0))
        ++ticks;
    EXPECT_EQ(ticks, (32u + 64u) * 3u);
    EXPECT_TRUE(p.isEnded());
}
