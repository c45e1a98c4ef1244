#include "formats/mtm669/MtmLoader.h"
#include "song/MemoryStream.h"
#include "support/FormatPlayers.h"
#include "support/MtmBuilder.h"
#include "support/SampleStoreMixer.h"

#include <gtest/gtest.h>

#include <string>

namespace tolva::test {
namespace {

std::unique_ptr<Player> load(const std::vector<uint8_t>& bytes, Mixer* mixer,
                             bool infoOnly = false) {
    MemoryStream stream(bytes);
    return loadMtm(stream, infoOnly, mixer);
}

TEST(MtmHeader, SongValuesComeFromTheHeader) {
    const auto bytes = MtmBuilder()
                           .title("Twenty characters!!!and more")
                           .rowsPerTrack(80)
                           .orders({0, 1, 0})
                           .cell(1, 0, mtmNote(25))
                           .pattern(0, {1})
                           .pattern(1, {1})
                           .build();
    auto player = load(bytes, nullptr, true);
    ASSERT_TRUE(player);
    const Song& song = player->song;
    EXPECT_STREQ(song.title, "Twenty characters!!!");
    EXPECT_EQ(song.rowsPerPattern, 64u); // 80 rows per track are cut to the 64 stored
    EXPECT_EQ(song.orderCount, 3);
    EXPECT_EQ(song.orders[2], 0);
    EXPECT_EQ(song.orders[3], OrderEnd);
    EXPECT_FALSE(song.signedSamples);
    EXPECT_FALSE(song.bcdPatternBreak);
    EXPECT_EQ(player->formatType(), FormatMtm);
}

TEST(MtmHeader, PanPositionsSpreadOverTheFullRange) {
    RecordingMixer mixer;
    auto player = playMtm(MtmBuilder()
                              .panning(0, 15)
                              .panning(1, 8)
                              .panning(2, 0)
                              .cell(1, 0, mtmNote(25))
                              .pattern(0, {1, 1, 1})
                              .build(),
                          mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->channel(0).panning, 255);
    EXPECT_EQ(player->channel(1).panning, 136);
    EXPECT_EQ(player->channel(2).panning, 0);
    EXPECT_EQ(mixer.voices[1].panning, 136);
}

TEST(MtmHeader, ChannelCountComesFromTheHeaderOrElseFromTheSlotsTheOrderedPatternsUse) {
    // Slots 0, 1 and 5 play tracks; slot 9 only in a pattern that is not in the order list.
    const auto bytes = [](uint8_t channels) {
        return MtmBuilder()
            .channels(channels)
            .orders({0, 1})
            .cell(1, 0, mtmNote(25))
            .pattern(0, {1, 1})
            .pattern(1, {0, 0, 0, 0, 0, 1})
            .pattern(2, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1})
            .build();
    };
    const std::pair<uint8_t, uint32_t> cases[] = {{6, 6}, {2, 2}, {32, 32}, {0, 3}, {33, 3}};
    for (const auto& [header, count] : cases) {
        auto player = load(bytes(header), nullptr, true);
        ASSERT_TRUE(player);
        EXPECT_EQ(player->channelCount(), count) << int(header);
    }
}

TEST(MtmHeader, SampleHeadersGiveLengthLoopFinetuneVolumeAndWidth) {
    MtmSampleDef shortLoop{"short loop", std::vector<uint8_t>(32, 0x80), 10, 16, 0x1F, 40};
    MtmSampleDef longLoop{"long loop", std::vector<uint8_t>(32, 0x80), 10, 17, 0x07, 70};
    MtmSampleDef wide{"sixteen", std::vector<uint8_t>(32, 0x00), 0, 0, 0, 64, true};
    SampleStoreMixer mixer;
    auto player =
        load(MtmBuilder().sample(shortLoop).sample(longLoop).sample(wide).build(), &mixer);
    ASSERT_TRUE(player);
    ASSERT_EQ(player->song.sampleCount, 3u);
    const Sample& a = *player->sample(0);
    EXPECT_STREQ(a.name, "short loop");
    EXPECT_EQ(a.length, 32u);
    EXPECT_EQ(a.flags & SampleLoop, 0); // six bytes of loop do not loop
    EXPECT_EQ(a.finetune, 15);
    EXPECT_EQ(a.volume, 40);
    const Sample& b = *player->sample(1);
    EXPECT_EQ(b.flags & SampleLoop, SampleLoop);
    EXPECT_EQ(b.loopStart, 10u);
    EXPECT_EQ(b.loopEnd, 17u);
    EXPECT_EQ(b.finetune, 7);
    EXPECT_EQ(player->sample(2)->flags & Sample16Bit, Sample16Bit);
    EXPECT_TRUE(a.present && b.present);
}

TEST(MtmHeader, SampleDataFollowsTheCommentAsStored) {
    MtmSampleDef first{"a", {0x00, 0x80, 0xFF, 0x7F}};
    MtmSampleDef second{"b", {1, 2, 3, 4, 5, 6}};
    SampleStoreMixer mixer;
    auto player =
        load(MtmBuilder().sample(first).sample(second).comment({'h', 'i', 0, 0}).build(), &mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(mixer.bytesOf(player->sample(0)->data), first.data);
    EXPECT_EQ(mixer.bytesOf(player->sample(1)->data), second.data);
}

TEST(MtmHeader, InformationLoadKeepsHeadersAndLeavesSampleDataAlone) {
    auto bytes = MtmBuilder().sample(mtmSquare(64)).orders({0, 0}).build();
    bytes.resize(bytes.size() - 64); // no sample data at all
    auto player = load(bytes, nullptr, true);
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->song.infoOnly);
    EXPECT_EQ(player->sample(0)->length, 64u);
    EXPECT_FALSE(player->sample(0)->present);
    EXPECT_EQ(player->sample(0)->data, nullptr);
    EXPECT_EQ(player->song.orderCount, 2);
}

TEST(MtmHeader, SamplesBeyondTheTableOf99AreIgnored) {
    MtmBuilder builder;
    for (int i = 0; i < 100; ++i)
        builder.sample({std::to_string(i), {0x80, 0x80}});
    SampleStoreMixer mixer;
    auto player = load(builder.build(), &mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->song.sampleCount, 99u);
    EXPECT_STREQ(player->sample(98)->name, "98");
    EXPECT_EQ(player->sample(99), nullptr);
}

TEST(MtmHeader, OrderListLongerThanTheStoredBytesIsCut) {
    auto bytes = MtmBuilder().build();
    bytes[MtmLastOrderOffset] = 200;
    auto player = load(bytes, nullptr, true);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->song.orderCount, 128);
    EXPECT_EQ(player->song.orders[128], OrderEnd);
}

TEST(MtmHeader, PatternRecordNamesTheTracksOfEachSlot) {
    auto player = load(MtmBuilder()
                           .cell(1, 0, mtmNote(25, 3, 0xC, 0x20))
                           .cell(2, 0, mtmNote(13))
                           .pattern(0, {2, 0, 1})
                           .build(),
                       nullptr, true);
    ASSERT_TRUE(player);
    PatternDescription pattern;
    player->describePattern(pattern, 0);
    EXPECT_EQ(pattern.rows, 64u);
    ASSERT_NE(pattern.tracks[0], nullptr);
    EXPECT_EQ(pattern.tracks[0][0], 12 << 2); // note 13 is stored as 12
    EXPECT_EQ(pattern.tracks[1], nullptr);
    ASSERT_NE(pattern.tracks[2], nullptr);
    EXPECT_EQ(pattern.tracks[2][1], 0x3C);
    EXPECT_EQ(pattern.tracks[2][2], 0x20);
    player->describePattern(pattern, 1); // beyond the last pattern
    EXPECT_EQ(pattern.tracks[0], nullptr);
    EXPECT_EQ(pattern.cells, nullptr);
}

} // namespace
} // namespace tolva::test
