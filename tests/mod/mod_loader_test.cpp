#include "formats/mod/ModLoader.h"
#include "formats/mod/ModPlayer.h"
#include "formats/mod/ModTag.h"
#include "song/MemoryStream.h"
#include "support/ByteWriter.h"
#include "support/Mtm669Builders.h"
#include "support/PlayerHarness.h"
#include "support/ScannedSong.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tolva::test {
namespace {

SampleStoreMixer store;

std::unique_ptr<Player> load(const std::vector<uint8_t>& bytes, bool infoOnly = false) {
    MemoryStream stream(bytes);
    return loadMod(stream, infoOnly, infoOnly ? nullptr : &store);
}

ModSampleDef sampleOf(uint32_t length, uint32_t loopStart, uint32_t loopLength) {
    return {"name", std::vector<int8_t>(length, 1), 40, 0x0E, loopStart, loopLength};
}

TEST(ModLoader, LoopsOfTheSampleHeaders) {
    // Loop ends of a plain loop, 4 words at the start of a longer sample (an editor's stub:
    // none), 2 words further in, past the end (cut) and from the end (none).
    ModBuilder headers = ModBuilder().sample(sampleOf(100, 10, 40)).sample(sampleOf(20, 0, 8));
    headers.sample(sampleOf(20, 2, 4)).sample(sampleOf(20, 8, 20)).sample(sampleOf(20, 20, 12));
    auto player = load(headers.build());
    ASSERT_TRUE(player);
    std::vector<int> loops;
    for (uint32_t i = 0; i < 5; ++i)
        loops.push_back(player->sample(i)->flags & SampleLoop ? int(player->sample(i)->loopEnd)
                                                              : -1);
    EXPECT_EQ(loops, (std::vector<int>{50, -1, 6, 20, -1}));
    EXPECT_FALSE(player->sample(5)->present);
    EXPECT_EQ(player->sample(31), nullptr);
}

// The cell of pattern p, row r, channel c as stored: note, sample, effect, parameter.
std::array<uint32_t, 4> storedCell(Player& player, uint32_t r, uint32_t c, uint32_t p = 0) {
    const uint8_t* cell =
        player.song.patterns[p].data() + (r * player.song.channelCount + c) * ModCellSize;
    const uint32_t word = cell[0] | cell[1] << 8;
    return {word & 0x7F, word >> 11, word >> 7 & 15, cell[2]};
}

TEST(ModLoader, PeriodsBecomeNotesWithinATolerance) {
    auto player = load(ModBuilder()
                           .cell(0, 0, 0, ModCell{430, 17, 0xC, 0x20}) // 425..428: C-2
                           .cell(0, 0, 1, ModCell{423, 1, 0, 0})       // 418..427: none
                           .cell(0, 1, 2, ModCell{1716, 0, 0, 0})      // 1711..1712: C-0
                           .build());
    ASSERT_TRUE(player);
    EXPECT_EQ(storedCell(*player, 0, 0), (std::array<uint32_t, 4>{25, 17, 0xC, 0x20}));
    EXPECT_EQ(storedCell(*player, 0, 1), (std::array<uint32_t, 4>{0, 1, 0, 0}));
    EXPECT_EQ(storedCell(*player, 1, 2), (std::array<uint32_t, 4>{1, 0, 0, 0}));
}

TEST(ModLoader, OrdersPatternLimitsAndSongLength) {
    auto mk = load(ModBuilder(4, "M.K.").orders({0, 64, 1}).cell(1, 0, 0, fx(0xF, 1)).build());
    ASSERT_TRUE(mk);
    EXPECT_EQ(mk->song.orders[3], OrderEnd);
    // Pattern 0 is all zero; 64 is past the M.K. limit but within the M!K! one.
    EXPECT_EQ(
        std::tuple(mk->isPatternMissing(64), mk->isPatternMissing(0), mk->isPatternMissing(1)),
        std::tuple(true, true, false));
    EXPECT_FALSE(load(ModBuilder(4, "M!K!").orders({0, 64}).cell(64, 0, 0, fx(0xF, 1)).build())
                     ->isPatternMissing(64));
    RecordingMixer mixer;
    EXPECT_FALSE(playMod(ModBuilder().songLength(0), mixer)->onTick(0, 0));
    auto longSong = load(ModBuilder().songLength(200).build());
    EXPECT_EQ(std::tuple(longSong->song.orderCount, longSong->song.orders[128]),
              std::tuple(128, OrderEnd));
}

TEST(ModLoader, ChannelCountsFromTheTag) {
    auto octa = load(ModBuilder(8, "OCTA").build());
    ASSERT_TRUE(octa);
    octa->restartSong();
    std::vector<int> pans;
    for (uint32_t i = 0; i < 8; ++i)
        pans.push_back(octa->channel(i).panning);
    EXPECT_EQ(pans, (std::vector<int>{0x20, 0xE0, 0xE0, 0x20, 0x20, 0xE0, 0xE0, 0x20}));

    // 8 channels under "M.K." (Mod's Grave): restart byte 0, a size that fits exactly and
    // periods that all name notes.
    ModBuilder grave(8, "M.K.");
    grave.sample(squareSample(64)).cell(0, 0, 7, note(25, 1));
    auto graveFile = [&grave](uint8_t restart, uint16_t period, bool longer) {
        std::vector<uint8_t> bytes = grave.build();
        bytes[951] = restart;
        bytes[1084 + 7 * 4] = static_cast<uint8_t>(0x10 | period >> 8); // sample 16, no matter
        bytes[1084 + 7 * 4 + 1] = static_cast<uint8_t>(period);
        bytes.resize(bytes.size() + longer);
        return bytes;
    };
    const std::tuple<uint8_t, uint16_t, bool, uint32_t> graveCases[] = {
        {0, 428, false, 8}, {0x7F, 428, false, 4}, {0, 0xFFF, false, 4}, {0, 428, true, 4}};
    for (const auto& [restart, period, longer, channels] : graveCases)
        EXPECT_EQ(load(graveFile(restart, period, longer), true)->song.channelCount, channels)
            << int(restart) << " " << period << " " << longer;
    EXPECT_EQ(load(ModBuilder(32, "32CH").build())->song.channelCount, 32u);
    EXPECT_FALSE(load(ModBuilder(33, "33CH").build()));
}

TEST(ModLoader, LayoutsOfOtherTrackers) {
    // StarTrekker's FLT8: orders name the first of two 4-channel patterns that play side by
    // side, so 4-channel pattern 3, row 5, channel 2 is channel 6 of 8-channel pattern 1.
    ModBuilder flt8(4, "FLT8");
    flt8.sample(sampleOf(4, 0, 0)).orders({0, 2, 3}).songLength(2).cell(3, 5, 2, note(25, 1));
    auto player = load(flt8.cell(2, 5, 2, note(37, 1)).build());
    ASSERT_TRUE(player);
    EXPECT_EQ(std::tuple(player->song.channelCount, player->song.orders[1]), std::tuple(8, 1));
    EXPECT_EQ(std::tuple(storedCell(*player, 5, 2, 1)[0], storedCell(*player, 5, 6, 1)[0]),
              std::tuple(37, 25));

    // Ice Tracker: 64-row tracks of one channel, and for each order the four it plays; the
    // tag sits after the track table.
    std::vector<uint8_t> ice = ModBuilder().sample(sampleOf(4, 0, 0)).build();
    ice.resize(950);
    ByteWriter w;
    w.u8(2, 2, 0, 1, 1, 0, 1, 0, 0, 1); // orders, tracks, the tracks of orders 0 and 1
    w.zeros(512 - 8);
    w.text("MTN", 4);
    w.zeros(256 + 7 * 4);
    w.u16be(0x1AC); // track 1, row 7: period 428, C-2
    w.zeros(256 - 7 * 4 - 2 + 4);
    ice.insert(ice.end(), w.bytes().begin(), w.bytes().end());
    player = load(ice);
    ASSERT_TRUE(player);
    EXPECT_EQ(
        (std::vector<uint32_t>{player->song.orderCount, storedCell(*player, 7, 1, 0)[0],
                               storedCell(*player, 7, 0, 0)[0], storedCell(*player, 7, 0, 1)[0]}),
        (std::vector<uint32_t>{2, 25, 0, 25}));
}

TEST(ModLoader, ModPlugAdpcmSamplesAreDecoded) {
    // Deltas 0, +1, ..., +14, -1; codes 1 2 (byte 0x21), 15 0 (0x0F), 3 3 (0x33), 0 15 (0xF0).
    std::vector<uint8_t> bytes = ModBuilder().sample(sampleOf(8, 0, 0)).build();
    bytes.resize(bytes.size() - 8);
    const uint8_t adpcm[] = {'A', 'D', 'P', 'C', 'M', 0,  1,  2,    3,    4,    5,    6,   7,
                             8,   9,   10,  11,  12,  13, 14, 0xFF, 0x21, 0x0F, 0x33, 0xF0};
    bytes.insert(bytes.end(), std::begin(adpcm), std::end(adpcm));
    // Cut by two bytes, the file holds four frames.
    for (auto [cut, frames] : {std::pair{0u, std::vector<uint8_t>{1, 3, 2, 2, 5, 8, 8, 7}},
                               std::pair{2u, std::vector<uint8_t>{1, 3, 2, 2}}}) {
        auto player = load(std::vector<uint8_t>(bytes.begin(), bytes.end() - cut));
        ASSERT_TRUE(player);
        EXPECT_EQ(store.bytesOf(player->sample(0)->data), frames);
    }
}

TEST(ModLoader, SampleDataCutShortKeepsWhatTheFileHolds) {
    auto bytes = ModBuilder().sample(sampleOf(48, 0, 0)).sample(sampleOf(4, 0, 0)).build();
    expectCutsKeepSampleData(bytes, loadMod);
    // Information loads read no sample data, which need not even be there.
    bytes.resize(bytes.size() - 52);
    auto player = load(bytes, true);
    ASSERT_TRUE(player);
    EXPECT_EQ(std::tuple(player->sample(0)->length, player->sample(0)->present,
                         player->sample(0)->data, player->song.infoOnly),
              std::tuple(48u, false, nullptr, true));
}

TEST(FifteenSampleMod, FourChannelsFifteenSamplesAndAStricterTrialLoad) {
    ModBuilder old(4, "");
    old.sample(squareSample(32, 50)).orders({0, 1}).cell(1, 5, 3, note(13, 15, 0xC, 0x10));
    auto player = load(old.build());
    ASSERT_TRUE(player);
    EXPECT_EQ(std::tuple(player->song.channelCount, player->song.sampleCount,
                         player->info().formatType(), player->isPatternMissing(1),
                         player->sample(15)),
              std::tuple(4u, 15u, uint32_t(FormatMod15), false, nullptr));
    const auto isMod = [](const std::vector<uint8_t>& bytes) {
        return load(bytes, true) != nullptr;
    };
    // Volumes above 64 and sample numbers above 15 only pass with a tag.
    for (const char* tag : {"", "M.K."}) {
        const bool tagged = *tag != 0;
        EXPECT_EQ(isMod(ModBuilder(4, tag).sample(squareSample(32, 65)).build()), tagged);
        EXPECT_TRUE(isMod(ModBuilder(4, tag).sample(squareSample(32, 64)).build()));
        EXPECT_EQ(isMod(ModBuilder(4, tag).cell(0, 0, 0, note(13, 16)).build()), tagged);
        EXPECT_TRUE(isMod(ModBuilder(4, tag).cell(0, 0, 0, note(13, 15)).build()));
    }
    // A stray order past the song length naming a pattern the file does not hold: only the
    // song's own orders count when the file holds exactly their patterns and the samples.
    std::vector<uint8_t> stray = old.build();
    constexpr std::size_t StrayOrder = 20 + 15 * 30 + 2 + 5;
    stray[StrayOrder] = 40;
    player = load(stray);
    ASSERT_TRUE(player);
    EXPECT_EQ(std::tuple(player->song.heldPatterns, player->sample(0)->length),
              std::tuple(2u, 32u));
    stray.pop_back(); // one byte short of the samples: the file is not read that way
    EXPECT_FALSE(load(stray, true));
}

TEST(FifteenSampleMod, TheTimerByteSetsTheTickRate) {
    // 384 ticks; at 184 a tick is 56 * 122 timer counts, 424.73 frames at 44100 Hz, whole
    // frames counted; 0, 120 and 239 leave 125 BPM (882 frames).
    for (const auto& [timer, tempo, frames] : {std::tuple(184, 260u, 162816u),
                                               {120, 125u, 338688u},
                                               {0, 125u, 338688u},
                                               {239, 125u, 338688u}}) {
        std::vector<uint8_t> bytes = ModBuilder(4, "")
                                         .sample(squareSample(32))
                                         .orders({0})
                                         .cell(0, 0, 0, note(25, 1))
                                         .build();
        bytes[20 + 15 * 30 + 1] = static_cast<uint8_t>(timer);
        const ScannedSong song = scanSong(bytes, Settings{});
        EXPECT_EQ(std::tuple(song.session->player().song.initialTempo, song.length.scannedFrames),
                  std::tuple(tempo, uint64_t{frames}))
            << timer;
    }
}

TEST(Descriptions, RecordsOfTheBaseFormats) {
    const ModSampleDef s{"square", std::vector<int8_t>(100), 33, 0x0E, 20, 40};
    auto player = load(
        ModBuilder(6, "6CHN").sample(s).orders({1, 0}).cell(1, 0, 0, fx(0xF, 3)).build(), true);
    ASSERT_TRUE(player);
    SampleDescription d;
    player->info().describeSample(d, 0, 0);
    // Finetune 0x0E is -2: 8363 Hz two eighths of a semitone down.
    EXPECT_EQ(std::tuple(d.fieldMask, d.length, d.loopStart, d.loopEnd, d.loopKind),
              std::tuple(0x031Eu, 100u, 20u, 60u, uint8_t(LoopForward)));
    EXPECT_EQ(std::tuple(d.referenceRate, d.referenceOctave, d.finetune, d.present, d.data),
              std::tuple(8287u, 2, -2, false, nullptr));
    SongDescription song;
    player->info().describeSong(song);
    EXPECT_EQ(std::tuple(song.channelPanning[1], song.channelPanning[63], song.channelVolume[5],
                         song.showChannelSettings),
              std::tuple(0xE0, 0x20, 0xFF, 1));
    PatternDescription pattern;
    player->info().describePattern(pattern, 1);
    EXPECT_EQ(std::tuple(pattern.rows, pattern.cells, pattern.size),
              std::tuple(64, player->song.patterns[1].data(), 64 * 6 * 3));
    player->info().describePattern(pattern, 0); // all zero: missing
    EXPECT_EQ(pattern.cells, nullptr);
    InstrumentDescription instrument;
    instrument.valid = true;
    player->info().describeInstrument(instrument, 0);
    EXPECT_FALSE(instrument.valid);
}

TEST(ModTag, ChannelCounts) {
    // Tags are matched exactly as written; 0 is no tag.
    const std::pair<const char*, uint32_t> tags[] = {
        {"M.K.", 4},  {"M!K!", 4}, {"FLT4", 4}, {"N.T.", 4},    {"6CHN", 6},  {"8CHN", 8},
        {"OCTA", 8},  {"M&K!", 4}, {"FEST", 4}, {"NSMS", 4},    {"EXO4", 4},  {"TDZ4", 4},
        {"FA04", 4},  {"FA06", 6}, {"FA08", 8}, {"CD61", 6},    {"CD81", 8},  {"1CHN", 1},
        {"4CHN", 4},  {"9CHN", 9}, {"0CHN", 0}, {"xCHN", 0},    {"10CH", 10}, {"32CH", 32},
        {"99CH", 99}, {"00CH", 0}, {"1xCH", 0}, {"12Ch", 0},    {"m.k.", 0},  {"FLT8", 8},
        {"TDZ3", 3},  {"TDZ1", 1}, {"TDZ0", 0}, {"\0\0\0\0", 0}};
    for (const auto& [tag, channels] : tags)
        EXPECT_EQ(modTagChannels(reinterpret_cast<const uint8_t*>(tag)), channels) << tag;
    MemoryStream stream(ModBuilder(4, "M!K!").build());
    uint32_t tag = 0;
    EXPECT_EQ(std::tuple(findModTag(stream, &tag), tag), std::tuple(4u, uint32_t(ModTagMK2)));
    MemoryStream shortStream(std::vector<uint8_t>(1083, 0));
    EXPECT_EQ(findModTag(shortStream), 0u);
}

} // namespace
} // namespace tolva::test
