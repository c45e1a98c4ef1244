#include "formats/mtm669/Loader669.h"
#include "song/MemoryStream.h"
#include "support/Composer669Builder.h"
#include "support/FormatPlayers.h"
#include "support/PlayerHarness.h"
#include "support/SampleStoreMixer.h"

#include <gtest/gtest.h>

#include <string>

namespace tolva::test {
namespace {

std::unique_ptr<Player> load(const std::vector<uint8_t>& bytes, Mixer* mixer,
                             bool infoOnly = false) {
    MemoryStream stream(bytes);
    return load669(stream, infoOnly, mixer);
}

TEST(Header669, SongValuesComeFromTheHeader) {
    const std::string message = std::string(36, 'a') + std::string(36, 'b') + std::string(36, 'c');
    auto player =
        load(Composer669Builder().message(message).orders({2, 0, 1}).build(), nullptr, true);
    ASSERT_TRUE(player);
    const Song& song = player->song;
    EXPECT_EQ(std::string(song.title), message);
    EXPECT_EQ(song.channelCount, 8u);
    EXPECT_EQ(song.initialTempo, 78u);
    EXPECT_FALSE(song.signedSamples);
    EXPECT_EQ(song.orders[0], 2);
    EXPECT_EQ(song.orders[2], 1);
    EXPECT_EQ(song.orders[3], OrderEnd);
    EXPECT_EQ(song.orders[128], OrderEnd);
    EXPECT_EQ(player->formatType(), Format669);
}

TEST(Header669, BothMagicsAreAcceptedAndNothingElse) {
    EXPECT_TRUE(load(Composer669Builder("JN").build(), nullptr, true));
    EXPECT_TRUE(load(Composer669Builder("if").build(), nullptr, true));
    EXPECT_FALSE(load(Composer669Builder("iF").build(), nullptr, true));
}

TEST(Header669, BeatRateIs78SoATickLasts1412Frames) {
    RecordingMixer mixer;
    auto player = play669(Composer669Builder().build(), mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(mixer.slots[0].interval, 1412u); // 5 x 44100 / (2 x 78), even
}

TEST(Header669, ChannelsAlternateLeftAndRight) {
    RecordingMixer mixer;
    auto player = play669(Composer669Builder().build(), mixer);
    ASSERT_TRUE(player);
    for (uint32_t i = 0; i < 8; ++i)
        EXPECT_EQ(mixer.voices[i].panning, i % 2 == 0 ? 0x20 : 0xE0) << i;
}

TEST(Header669, OrderByteFFEndsTheSong) {
    RecordingMixer mixer;
    auto player = play669(Composer669Builder()
                              .orders({0, 1, 0xFF, 0, 1})
                              .cell(0, 0, 0, effect669(5, 1))
                              .cell(1, 0, 0, effect669(5, 1))
                              .build(),
                          mixer);
    ASSERT_TRUE(player);
    const auto rows = traceRows(*player, 1000);
    ASSERT_EQ(rows.size(), 128u);
    EXPECT_EQ(rows.back(), (RowStep{1, 63}));
}

TEST(Header669, SampleHeadersGiveNameLengthAndLoop) {
    Sample669Def looped{"drum.sam", std::vector<uint8_t>(40, 0x80), 8, 40};
    Sample669Def unlooped{"thirteen.char", std::vector<uint8_t>(40, 0x80), 8, 41};
    SampleStoreMixer mixer;
    auto player = load(Composer669Builder().sample(looped).sample(unlooped).build(), &mixer);
    ASSERT_TRUE(player);
    const Sample& a = *player->sample(0);
    EXPECT_STREQ(a.name, "drum.sam");
    EXPECT_EQ(a.length, 40u);
    EXPECT_EQ(a.loopStart, 8u);
    EXPECT_EQ(a.loopEnd, 40u);
    EXPECT_EQ(a.flags & SampleLoop, SampleLoop); // the loop ends inside the data
    EXPECT_EQ(a.volume, 0);
    EXPECT_EQ(a.finetune, 0);
    const Sample& b = *player->sample(1);
    EXPECT_STREQ(b.name, "thirteen.char");
    EXPECT_EQ(b.flags & SampleLoop, 0);
    EXPECT_EQ(mixer.bytesOf(b.data), unlooped.data);
}

TEST(Header669, PatternsOutsideTheOrderListAreSteppedOver) {
    // Pattern 1 is stored but never ordered; pattern 2 behind it must still be found.
    RecordingMixer mixer;
    auto player = play669(Composer669Builder()
                              .sample(square669(32))
                              .orders({0, 2})
                              .cell(0, 0, 0, effect669(5, 1))
                              .cell(1, 0, 0, note669(13, 0, 15))
                              .cell(2, 0, 0, note669(25, 0, 15))
                              .build(),
                          mixer);
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->isPatternMissing(1));
    for (int row = 0; row < 65; ++row)
        playRow(*player);
    EXPECT_EQ(player->songPosition, 1u << 8);
    EXPECT_EQ(player->channel(0).period, 428);
}

TEST(Header669, PatternOfZeroBytesCountsAsMissing) {
    auto player = load(Composer669Builder()
                           .orders({0, 1})
                           .cell(0, 5, 3, Cell669{{0, 0, 0}})
                           .cell(1, 0, 0, effect669(5, 1))
                           .build(),
                       nullptr, true);
    ASSERT_TRUE(player);
    EXPECT_FALSE(player->isPatternMissing(0)); // the other cells are not zero
    auto zero = Composer669Builder().orders({0}).patternCount(1).build();
    std::fill(zero.end() - Pattern669Bytes, zero.end(), 0);
    player = load(zero, nullptr, true);
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->isPatternMissing(0));
}

TEST(Header669, SamplesBeyondTheTableOf65AreIgnored) {
    Composer669Builder builder;
    for (int i = 0; i < 66; ++i)
        builder.sample({std::to_string(i), {0x80, 0x80}});
    SampleStoreMixer mixer;
    auto player = load(builder.build(), &mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->song.sampleCount, 65u);
    EXPECT_STREQ(player->sample(64)->name, "64");
    EXPECT_EQ(player->sample(65), nullptr);
}

TEST(Header669, InformationRecordsOmitFinetuneAndVolumeAndUseTheBreakRow) {
    auto player =
        load(Composer669Builder().sample(square669(16)).breakRow(0, 31).build(), nullptr, true);
    ASSERT_TRUE(player);
    SampleDescription sample;
    player->describeSample(sample, 0, 0);
    EXPECT_EQ(sample.fieldMask & (SampleFieldFinetune | SampleFieldDefaultVolume), 0u);
    EXPECT_EQ(sample.fieldMask & SampleFieldLoop, SampleFieldLoop);
    EXPECT_EQ(sample.typeFlags & SampleTypeUnsigned, SampleTypeUnsigned);
    PatternDescription pattern;
    player->describePattern(pattern, 0);
    EXPECT_EQ(pattern.rows, 32u);
    EXPECT_EQ(pattern.size, 1536u);
}

} // namespace
} // namespace tolva::test
