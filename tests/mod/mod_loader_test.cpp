#include "formats/mod/ModLoader.h"
#include "formats/mod/ModPlayer.h"
#include "formats/mod/ModTag.h"
#include "song/MemoryStream.h"
#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

namespace tolva::test {
namespace {

std::unique_ptr<Player> load(const std::vector<uint8_t>& bytes, Mixer* mixer,
                             bool infoOnly = false) {
    MemoryStream stream(bytes);
    return loadMod(stream, infoOnly, mixer);
}

bool isMod(const std::vector<uint8_t>& bytes) {
    return load(bytes, nullptr, true) != nullptr;
}

ModSampleDef sampleOf(uint32_t length, uint32_t loopStart, uint32_t loopLength) {
    ModSampleDef s;
    s.name = "a sample name of 22 ch";
    s.data.assign(length, 1);
    s.volume = 40;
    s.finetune = 0x0E;
    s.loopStart = loopStart;
    s.loopLength = loopLength;
    return s;
}

// The cell of pattern p, row r, channel c as stored: note, sample, effect, parameter.
std::array<uint32_t, 4> storedCell(Player& player, uint32_t p, uint32_t r, uint32_t c) {
    const uint8_t* cell =
        player.song.patterns[p].data() + (r * player.song.channelCount + c) * ModCellSize;
    const uint32_t word = cell[0] | cell[1] << 8;
    return {word & 0x7F, word >> 11, word >> 7 & 15, cell[2]};
}

TEST(ModLoader, HeaderSamplesAndOrders) {
    SampleStoreMixer mixer;
    auto player = load(ModBuilder(4, "M.K.")
                           .title("twenty character tit")
                           .sample(sampleOf(100, 10, 40))
                           .sample(sampleOf(20, 0, 10))  // 5 words: too short to loop
                           .sample(sampleOf(20, 0, 12))  // 6 words loop
                           .sample(sampleOf(20, 8, 20))  // runs past the end: cut
                           .sample(sampleOf(20, 20, 12)) // starts at the end: no loop
                           .orders({0, 2, 1})
                           .build(),
                       &mixer);
    ASSERT_TRUE(player);
    const Song& song = player->song;
    EXPECT_STREQ(song.title, "twenty character tit");
    EXPECT_EQ(std::tuple(song.channelCount, song.sampleCount, song.orderCount),
              std::tuple(4, 31, 3));
    EXPECT_EQ(std::tuple(song.orders[2], song.orders[3]), std::tuple(1, OrderEnd));
    EXPECT_EQ(player->formatType(), FormatMod);

    const Sample& s = *player->sample(0);
    EXPECT_STREQ(s.name, "a sample name of 22 ch");
    EXPECT_EQ(std::tuple(s.length, s.loopStart, s.loopEnd, s.volume, s.finetune & 15, s.present),
              std::tuple(100, 10, 50, 40, 0x0E, true));
    EXPECT_EQ(mixer.bytesOf(s.data), std::vector<uint8_t>(100, 1));
    EXPECT_FALSE(player->sample(1)->flags & SampleLoop);
    EXPECT_TRUE(player->sample(2)->flags & SampleLoop);
    EXPECT_EQ(player->sample(3)->loopEnd, 20u);
    EXPECT_TRUE(player->sample(3)->flags & SampleLoop);
    EXPECT_FALSE(player->sample(4)->flags & SampleLoop);
    EXPECT_FALSE(player->sample(5)->present);
    EXPECT_EQ(player->sample(31), nullptr);
}

TEST(ModLoader, PeriodsBecomeNotesWithinATolerance) {
    SampleStoreMixer mixer;
    auto player = load(ModBuilder()
                           .cell(0, 0, 0, ModCell{430, 17, 0xC, 0x20}) // 425..428: C-2
                           .cell(0, 0, 1, ModCell{423, 1, 0, 0})       // 418..427: none
                           .cell(0, 1, 2, ModCell{1716, 0, 0, 0})      // 1711..1712: C-0
                           .cell(0, 63, 3, ModCell{0, 31, 0xF, 0x06})
                           .build(),
                       &mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(storedCell(*player, 0, 0, 0), (std::array<uint32_t, 4>{25, 17, 0xC, 0x20}));
    EXPECT_EQ(storedCell(*player, 0, 0, 1), (std::array<uint32_t, 4>{0, 1, 0, 0}));
    EXPECT_EQ(storedCell(*player, 0, 1, 2), (std::array<uint32_t, 4>{1, 0, 0, 0}));
    EXPECT_EQ(storedCell(*player, 0, 63, 3), (std::array<uint32_t, 4>{0, 31, 0xF, 0x06}));
}

TEST(ModLoader, PatternLimitDependsOnTheTagAndZeroPatternsAreMissing) {
    SampleStoreMixer mixer;
    auto mk =
        load(ModBuilder(4, "M.K.").orders({0, 64, 1}).cell(1, 0, 0, fx(0xF, 1)).build(), &mixer);
    ASSERT_TRUE(mk);
    EXPECT_EQ(mk->song.orders[1], 64);
    EXPECT_TRUE(mk->isPatternMissing(64));
    EXPECT_TRUE(mk->isPatternMissing(0)); // all zero
    EXPECT_FALSE(mk->isPatternMissing(1));

    auto mk2 =
        load(ModBuilder(4, "M!K!").orders({0, 64}).cell(64, 0, 0, fx(0xF, 1)).build(), &mixer);
    ASSERT_TRUE(mk2);
    EXPECT_FALSE(mk2->isPatternMissing(64));
}

TEST(ModLoader, SongLengthZeroEndsAtOnceAndLongSongsAreCut) {
    RecordingMixer mixer;
    auto empty = playMod(ModBuilder().songLength(0).build(), mixer);
    ASSERT_TRUE(empty);
    EXPECT_FALSE(empty->onTick(0, 0));

    SampleStoreMixer store;
    auto longSong = load(ModBuilder().songLength(200).build(), &store);
    ASSERT_TRUE(longSong);
    EXPECT_EQ(longSong->song.orderCount, 128);
    EXPECT_EQ(longSong->song.orders[128], OrderEnd);
}

TEST(ModLoader, ChannelCountsFromTheTag) {
    SampleStoreMixer mixer;
    auto octa = load(ModBuilder(8, "OCTA").build(), &mixer);
    ASSERT_TRUE(octa);
    EXPECT_EQ(octa->song.channelCount, 8u);
    octa->restartSong();
    const uint8_t expected[8] = {0x20, 0xE0, 0xE0, 0x20, 0x20, 0xE0, 0xE0, 0x20};
    for (uint32_t i = 0; i < 8; ++i)
        EXPECT_EQ(octa->channel(i).panning, expected[i]);

    // 8 channels under "M.K." (Mod's Grave): restart byte 0, a size that fits exactly and
    // periods that all name notes.
    ModBuilder grave(8, "M.K.");
    grave.sample(squareSample(64)).cell(0, 0, 7, note(25, 1));
    auto graveFile = [&grave](uint8_t restart, uint16_t period) {
        std::vector<uint8_t> bytes = grave.build();
        bytes[951] = restart;
        bytes[1084 + 7 * 4] = static_cast<uint8_t>(0x10 | period >> 8); // sample 16, no matter
        bytes[1084 + 7 * 4 + 1] = static_cast<uint8_t>(period);
        return bytes;
    };
    const std::tuple<uint8_t, uint16_t, uint32_t> graveCases[] = {
        {0, 428, 8}, {0x7F, 428, 4}, {0, 0xFFF, 4}};
    for (const auto& [restart, period, channels] : graveCases) {
        auto player = load(graveFile(restart, period), &mixer, true);
        ASSERT_TRUE(player);
        EXPECT_EQ(player->song.channelCount, channels) << int(restart) << " " << period;
    }
    std::vector<uint8_t> longer = graveFile(0, 428);
    longer.push_back(0);
    EXPECT_EQ(load(longer, &mixer, true)->song.channelCount, 4u);

    auto wide = load(ModBuilder(32, "32CH").build(), &mixer);
    ASSERT_TRUE(wide);
    EXPECT_EQ(wide->song.channelCount, 32u);
    EXPECT_FALSE(load(ModBuilder(33, "33CH").build(), &mixer));
}

TEST(ModLoader, InformationOnlyLoadsReadNoSampleData) {
    auto bytes = ModBuilder().sample(sampleOf(100, 0, 0)).build();
    bytes.resize(bytes.size() - 100); // the data is not even there
    auto player = load(bytes, nullptr, true);
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->song.infoOnly);
    EXPECT_EQ(player->sample(0)->length, 100u);
    EXPECT_FALSE(player->sample(0)->present);
    EXPECT_EQ(player->sample(0)->data, nullptr);
}

TEST(ModLoader, ShortFilesAreRefusedAndReleaseWhatTheyLoaded) {
    SampleStoreMixer mixer;
    const auto bytes = ModBuilder().sample(sampleOf(100, 0, 0)).sample(sampleOf(100, 0, 0)).build();
    ASSERT_TRUE(load(bytes, &mixer));
    EXPECT_EQ(mixer.liveBlocks(), 0u); // the player gave its samples back when destroyed

    for (std::size_t cut :
         {std::size_t{1084 + 1023}, std::size_t{1083}, std::size_t{951}, std::size_t{19}}) {
        std::vector<uint8_t> shortBytes(bytes.begin(), bytes.begin() + cut);
        EXPECT_FALSE(load(shortBytes, &mixer)) << "cut at " << cut;
        EXPECT_EQ(mixer.liveBlocks(), 0u) << "cut at " << cut;
    }
    // Cut inside the sample data, the samples keep what the file holds.
    for (auto [cut, first, second] :
         {std::tuple{bytes.size() - 1, 100u, 99u}, std::tuple{bytes.size() - 101, 99u, 0u}}) {
        auto player = load(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut), &mixer);
        ASSERT_TRUE(player) << "cut at " << cut;
        EXPECT_EQ(player->sample(0)->length, first);
        EXPECT_EQ(player->sample(1)->length, second);
    }
}

TEST(FifteenSampleMod, LoadsWithFourChannelsAndFifteenSamples) {
    SampleStoreMixer mixer;
    auto player = load(ModBuilder(4, "")
                           .title("old song")
                           .sample(squareSample(32, 50))
                           .orders({0, 1})
                           .cell(1, 5, 3, note(13, 15, 0xC, 0x10))
                           .build(),
                       &mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->song.channelCount, 4u);
    EXPECT_EQ(player->song.sampleCount, 15u);
    EXPECT_EQ(player->formatType(), FormatMod15);
    EXPECT_STREQ(player->song.title, "old song");
    EXPECT_EQ(player->song.orders[1], 1);
    EXPECT_FALSE(player->isPatternMissing(1));
    EXPECT_TRUE(player->sample(0)->present);
    EXPECT_EQ(player->sample(15), nullptr);
}

TEST(FifteenSampleMod, TrialLoadRefusesWhatTaggedFilesAccept) {
    // The header and one pattern are 1624 bytes; volumes above 64 and sample numbers above 15
    // only pass with a tag.
    const auto bytes = ModBuilder(4, "").build();
    ASSERT_EQ(bytes.size(), 1624u);
    EXPECT_TRUE(isMod(bytes));
    EXPECT_FALSE(isMod(std::vector<uint8_t>(bytes.begin(), bytes.end() - 1)));
    for (const char* tag : {"", "M.K."}) {
        const bool tagged = *tag != 0;
        EXPECT_EQ(isMod(ModBuilder(4, tag).sample(squareSample(32, 65)).build()), tagged);
        EXPECT_TRUE(isMod(ModBuilder(4, tag).sample(squareSample(32, 64)).build()));
        EXPECT_EQ(isMod(ModBuilder(4, tag).cell(0, 0, 0, note(13, 16)).build()), tagged);
        EXPECT_TRUE(isMod(ModBuilder(4, tag).cell(0, 0, 0, note(13, 15)).build()));
    }
}

TEST(Descriptions, SampleRecordOfTheBaseFormats) {
    ModSampleDef s = squareSample(100, 33, 0x0E);
    s.name = "lead";
    s.loopStart = 20;
    s.loopLength = 40;
    auto player = load(ModBuilder().sample(s).build(), nullptr, true);
    ASSERT_TRUE(player);
    SampleDescription d;
    player->describeSample(d, 0, 0);
    EXPECT_EQ(d.fieldMask, 0x031Eu);
    EXPECT_STREQ(d.name, "lead");
    EXPECT_EQ(std::tuple(d.length, d.loopStart, d.loopEnd), std::tuple(100, 20, 60));
    EXPECT_EQ(std::tuple(d.referenceRate, d.referenceOctave, d.finetune, d.defaultVolume),
              std::tuple(8287, 2, -2, 33));
    EXPECT_EQ(std::tuple(d.typeFlags, d.loopKind), std::tuple(0, LoopForward));
    // Information only: no data.
    EXPECT_EQ(std::tuple(d.present, d.data), std::tuple(false, nullptr));
}

TEST(Descriptions, SongAndPatternRecords) {
    auto player =
        load(ModBuilder(6, "6CHN").orders({1, 0}).cell(1, 0, 0, fx(0xF, 3)).build(), nullptr, true);
    ASSERT_TRUE(player);
    SongDescription song;
    player->describeSong(song);
    EXPECT_EQ(song.orders, player->song.orders.data());
    EXPECT_EQ(song.channelCount, 6u);
    EXPECT_EQ(std::tuple(song.channelPanning[0], song.channelPanning[1], song.channelPanning[63]),
              std::tuple(0x20, 0xE0, 0x20));
    EXPECT_EQ(song.channelVolume[5], 0xFF);
    EXPECT_EQ(std::tuple(song.initialTempo, song.initialSpeed, song.modeFlags),
              std::tuple(125, 6, 0));
    EXPECT_EQ(song.showChannelSettings, 1);

    PatternDescription pattern;
    player->describePattern(pattern, 1);
    EXPECT_EQ(std::tuple(pattern.rows, pattern.cells, pattern.size),
              std::tuple(64, player->song.patterns[1].data(), 64 * 6 * 3));
    player->describePattern(pattern, 0); // all zero: missing
    EXPECT_EQ(std::tuple(pattern.rows, pattern.cells), std::tuple(64, nullptr));

    InstrumentDescription instrument;
    instrument.valid = true;
    player->describeInstrument(instrument, 0);
    EXPECT_FALSE(instrument.valid);
    EXPECT_EQ(player->instrumentCount(), 0u);
    EXPECT_EQ(player->songMessage(), nullptr);
}

TEST(ModTag, ChannelCounts) {
    // Tags are matched exactly as written; 0 is no tag.
    const std::pair<const char*, uint32_t> tags[] = {
        {"M.K.", 4},  {"M!K!", 4},    {"FLT4", 4}, {"N.T.", 4}, {"6CHN", 6},  {"8CHN", 8},
        {"OCTA", 8},  {"M&K!", 4},    {"FEST", 4}, {"NSMS", 4}, {"EXO4", 4},  {"TDZ4", 4},
        {"FA04", 4},  {"FA06", 6},    {"FA08", 8}, {"CD61", 6}, {"CD81", 8},  {"1CHN", 1},
        {"4CHN", 4},  {"9CHN", 9},    {"0CHN", 0}, {"xCHN", 0}, {"10CH", 10}, {"32CH", 32},
        {"99CH", 99}, {"00CH", 0},    {"1xCH", 0}, {"12Ch", 0}, {"m.k.", 0},  {"FLT8", 8},
        {"TDZ3", 0},  {"\0\0\0\0", 0}};
    for (const auto& [tag, channels] : tags)
        EXPECT_EQ(modTagChannels(reinterpret_cast<const uint8_t*>(tag)), channels) << tag;
}

TEST(ModTag, ReadFromTheStreamAtOffset1080) {
    std::vector<uint8_t> bytes(1084, 0);
    std::memcpy(bytes.data() + 1080, "M!K!", 4);
    MemoryStream stream(bytes);
    uint32_t tag = 0;
    EXPECT_EQ(findModTag(stream, &tag), 4u);
    EXPECT_EQ(tag, ModTagMK2);
    MemoryStream shortStream(std::vector<uint8_t>(1083, 0));
    EXPECT_EQ(findModTag(shortStream), 0u);
}

} // namespace
} // namespace tolva::test
