#include "formats/mod/ModLoader.h"
#include "song/MemoryStream.h"
#include "support/ModBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

std::unique_ptr<Player> loadInfo(const std::vector<uint8_t>& bytes) {
    MemoryStream stream(bytes);
    return loadMod(stream, true, nullptr);
}

TEST(Descriptions, SampleRecordOfTheBaseFormats) {
    ModSampleDef s = squareSample(100, 33, 0x0E);
    s.name = "lead";
    s.loopStart = 20;
    s.loopLength = 40;
    auto player = loadInfo(ModBuilder().sample(s).build());
    ASSERT_TRUE(player);
    SampleDescription d;
    player->describeSample(d, 0, 0);
    EXPECT_EQ(d.fieldMask, 0x031Eu);
    EXPECT_STREQ(d.name, "lead");
    EXPECT_EQ(d.length, 100u);
    EXPECT_EQ(d.loopStart, 20u);
    EXPECT_EQ(d.loopEnd, 60u);
    EXPECT_EQ(d.referenceRate, 8287u);
    EXPECT_EQ(d.referenceOctave, 2u);
    EXPECT_EQ(d.finetune, -2);
    EXPECT_EQ(d.defaultVolume, 33);
    EXPECT_EQ(d.typeFlags, 0);
    EXPECT_EQ(d.loopKind, LoopForward);
    EXPECT_FALSE(d.present); // information only: no data
    EXPECT_EQ(d.data, nullptr);
}

TEST(Descriptions, SongAndPatternRecords) {
    auto player = loadInfo(ModBuilder(6, "6CHN").orders({1, 0}).cell(1, 0, 0, fx(0xF, 3)).build());
    ASSERT_TRUE(player);
    SongDescription song;
    player->describeSong(song);
    EXPECT_EQ(song.orders, player->song.orders.data());
    EXPECT_EQ(song.channelCount, 6u);
    EXPECT_EQ(song.channelPanning[0], 0x20);
    EXPECT_EQ(song.channelPanning[1], 0xE0);
    EXPECT_EQ(song.channelPanning[63], 0x20);
    EXPECT_EQ(song.channelVolume[5], 0xFF);
    EXPECT_EQ(song.initialTempo, 125);
    EXPECT_EQ(song.initialSpeed, 6);
    EXPECT_EQ(song.modeFlags, 0);
    EXPECT_EQ(song.showChannelSettings, 1);

    PatternDescription pattern;
    player->describePattern(pattern, 1);
    EXPECT_EQ(pattern.rows, 64u);
    EXPECT_EQ(pattern.cells, player->song.patterns[1].data());
    EXPECT_EQ(pattern.size, 64u * 6 * 3);
    player->describePattern(pattern, 0); // all zero: missing
    EXPECT_EQ(pattern.rows, 64u);
    EXPECT_EQ(pattern.cells, nullptr);

    InstrumentDescription instrument;
    instrument.valid = true;
    player->describeInstrument(instrument, 0);
    EXPECT_FALSE(instrument.valid);
    EXPECT_EQ(player->instrumentCount(), 0u);
    EXPECT_EQ(player->songMessage(), nullptr);
}

} // namespace
} // namespace tolva::test
