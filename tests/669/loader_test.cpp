#include "formats/mtm669/Loader669.h"
#include "song/MemoryStream.h"
#include "support/Mtm669Builders.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// Loaded for information: the headers without the sample data.
std::unique_ptr<Player> load(const std::vector<uint8_t>& bytes) {
    MemoryStream stream(bytes);
    return load669(stream, true, nullptr);
}

TEST(Loader669, SongValuesComeFromTheHeader) {
    RecordingMixer mixer; // outlives the players below, which hand their voices back
    const std::string message = std::string(36, 'a') + std::string(36, 'b') + std::string(36, 'c');
    auto player = play669(Composer669Song{.message = message, .orders = {2, 0, 1}}.build(), mixer);
    ASSERT_TRUE(player);
    const Song& song = player->song;
    EXPECT_EQ(std::string(song.title), message);
    // 5 x 44100 / (2 x 78) frames a tick; channels alternate left and right.
    EXPECT_EQ((std::vector<int64_t>{song.channelCount, song.signedSamples, song.orders[2],
                                    song.orders[3], song.orders[128], mixer.slots[0].interval,
                                    mixer.voices[0].panning, mixer.voices[7].panning}),
              (std::vector<int64_t>{8, 0, 1, OrderEnd, OrderEnd, 1413, 0x20, 0xE0}));
    EXPECT_TRUE(load(Composer669Song{.magic = "JN"}.build()));
    EXPECT_FALSE(load(Composer669Song{.magic = "iF"}.build()));
}

TEST(Loader669, SampleHeadersGiveNameLengthAndLoopAndOnly65AreRead) {
    Composer669Song song{.samples = {{"drum.sam", std::vector<uint8_t>(40, 0x80), 8, 40},
                                     {"thirteen.char", {1, 2, 3, 4}, 1, 5}}};
    for (int i = 2; i < 66; ++i)
        song.samples.push_back({std::to_string(i), {0x80, 0x80}});
    auto player = load(song.build());
    ASSERT_TRUE(player);
    // The first loop ends inside the data, the second past it.
    const Sample& a = *player->sample(0);
    const Sample& b = *player->sample(1);
    EXPECT_EQ((std::vector<int64_t>{a.loopStart, a.loopEnd, a.flags & SampleLoop, a.volume,
                                    b.flags & SampleLoop, player->song.sampleCount}),
              (std::vector<int64_t>{8, 40, SampleLoop, 0, 0, 65}));
    EXPECT_STREQ(b.name, "thirteen.char");
    EXPECT_STREQ(player->sample(64)->name, "64");
    EXPECT_EQ(player->sample(65), nullptr);
}

TEST(Loader669, ZeroPatternsAreMissingAndInformationRecordsUseTheBreakRow) {
    auto player = load(Composer669Song{
        .orders = {0, 1}, .cells = {{{0, 5, 3}, Cell669{{0, 0, 0}}}, {{1, 0, 0}, effect669(5, 1)}}}
                           .build());
    ASSERT_TRUE(player);
    EXPECT_FALSE(player->isPatternMissing(0)); // the other cells are not zero
    auto zero = Composer669Song{}.build();
    std::fill(zero.end() - 64 * 8 * 3, zero.end(), 0); // the one pattern
    player = load(zero);
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->isPatternMissing(0));

    // Information records omit finetune and volume.
    Composer669Song song{.breakRow = {{0, 31}}};
    song.samples.push_back({"square.smp", unsignedSquare(16), 0, 16});
    player = load(song.build());
    ASSERT_TRUE(player);
    SampleDescription sample;
    player->info().describeSample(sample, 0, 0);
    PatternDescription pattern;
    player->info().describePattern(pattern, 0);
    EXPECT_EQ(
        (std::vector<uint32_t>{
            sample.fieldMask & (SampleFieldFinetune | SampleFieldDefaultVolume | SampleFieldLoop),
            uint32_t(sample.typeFlags & SampleTypeUnsigned), pattern.rows, pattern.size}),
        (std::vector<uint32_t>{SampleFieldLoop, SampleTypeUnsigned, 32, 1536}));
}

TEST(Loader669, CutsBeforeTheSampleDataAreRefusedCutsInsideItKeepWhatIsThere) {
    Composer669Song song{.message = "complete", .orders = {0, 2}, .patternCount = 3};
    song.samples = {{"a", unsignedSquare(48), 0, 48}, {"second", {0x80, 0x90, 0xA0, 0xB0}, 0, 4}};
    song.cells[{0, 0, 0}] = note669(25, 0, 15);
    song.cells[{2, 4, 1}] = note669(30, 1, 7).withEffect(4, 2);
    expectCutsKeepSampleData(song.build(), load669);
}

} // namespace
} // namespace tolva::test
