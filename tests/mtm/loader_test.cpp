#include "formats/mtm669/MtmLoader.h"
#include "song/MemoryStream.h"
#include "support/Mtm669Builders.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// Loaded for information: the headers without the sample data.
std::unique_ptr<Player> load(const std::vector<uint8_t>& bytes) {
    MemoryStream stream(bytes);
    return loadMtm(stream, true, nullptr);
}

TEST(MtmLoader, SongValuesComeFromTheHeader) {
    RecordingMixer mixer; // outlives the players below, which hand their voices back
    MtmSong header{.rowsPerTrack = 80, .panning = {{0, 15}, {1, 8}, {2, 0}}, .orders = {0, 1, 0}};
    header.cells = {{{1, 0}, {25}}};
    header.patterns = {{1, 1, 1}, {1}};
    auto player = playMtm(header.build(), mixer);
    ASSERT_TRUE(player);
    const Song& song = player->song;
    // 80 rows per track are cut to the 64 stored.
    EXPECT_EQ((std::vector<int>{int(song.rowsPerPattern), song.orderCount, song.orders[2],
                                song.orders[3], player->channel(0).panning,
                                player->channel(1).panning, player->channel(2).panning}),
              (std::vector<int>{64, 3, 0, OrderEnd, 255, 136, 0}));
    auto bytes = MtmSong{}.build();
    bytes[27] = 200; // the last order: longer than the 128 stored
    player = load(bytes);
    EXPECT_EQ((std::vector<int>{player->song.orderCount, player->song.orders[128]}),
              (std::vector<int>{128, OrderEnd}));
}

TEST(MtmLoader, ChannelCountComesFromTheHeaderOrElseFromTheSlotsTheOrderedPatternsUse) {
    // Slots 0, 1 and 5 play tracks; slot 9 only in a pattern that is not in the order list.
    const std::pair<uint8_t, uint32_t> cases[] = {{6, 6}, {2, 2}, {32, 32}, {0, 3}, {33, 3}};
    MtmSong song{.orders = {0, 1}, .cells = {{{1, 0}, {25}}}};
    song.patterns = {{1, 1}, {0, 0, 0, 0, 0, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}};
    for (const auto& [header, count] : cases) {
        song.channels = header;
        auto player = load(song.build());
        ASSERT_TRUE(player);
        EXPECT_EQ(player->info().channelCount(), count) << int(header);
    }
}

TEST(MtmLoader, SampleHeadersAndOnly99SamplesAreReadWithoutTheSampleData) {
    MtmSong song{.samples = {{"short loop", unsignedSquare(32), 10, 16, 0x1F, 40},
                             {"long loop", std::vector<uint8_t>(32, 0x80), 10, 17, 0x07, 70},
                             {"sixteen", std::vector<uint8_t>(32, 0x00), 0, 0, 0, 64, true}}};
    for (int i = 3; i < 100; ++i)
        song.samples.push_back({std::to_string(i), {0x80, 0x80}});
    auto bytes = song.build();
    bytes.resize(bytes.size() - 3 * 32 - 97 * 2);
    auto player = load(bytes);
    ASSERT_TRUE(player);
    // Six bytes of loop do not loop; the finetune keeps its low nibble.
    const Sample& a = *player->sample(0);
    const Sample& b = *player->sample(1);
    EXPECT_EQ(
        (std::vector<int>{a.flags & SampleLoop, a.finetune, b.flags & SampleLoop, int(b.loopEnd),
                          player->sample(2)->flags & Sample16Bit, int(player->song.sampleCount),
                          player->song.infoOnly, int(a.length), a.present, a.data == nullptr}),
        (std::vector<int>{0, 15, SampleLoop, 17, Sample16Bit, 99, 1, 32, 0, 1}));
    EXPECT_STREQ(player->sample(98)->name, "98");
    EXPECT_EQ(player->sample(99), nullptr);
}

TEST(MtmLoader, PatternRecordNamesTheTracksOfEachSlot) {
    auto player = load(
        MtmSong{.cells = {{{1, 0}, {25, 3, 0xC, 0x20}}, {{2, 0}, {13}}}, .patterns = {{2, 0, 1}}}
            .build());
    ASSERT_TRUE(player);
    PatternDescription pattern;
    player->info().describePattern(pattern, 0);
    ASSERT_TRUE(pattern.tracks[0] && pattern.tracks[2]);
    // Note 13 is stored as 12.
    EXPECT_EQ(
        (std::vector<int>{int(pattern.rows), pattern.tracks[0][0], pattern.tracks[1] == nullptr,
                          pattern.tracks[2][1], pattern.tracks[2][2]}),
        (std::vector<int>{64, 12 << 2, 1, 0x3C, 0x20}));
    player->info().describePattern(pattern, 1); // beyond the last pattern
    EXPECT_TRUE(pattern.tracks[0] == nullptr && pattern.cells == nullptr);
}

TEST(MtmLoader, CommentLinesOf40BytesBecomeLinesEndedByLineBreaks) {
    std::vector<uint8_t> twoLines(80, 0);
    std::copy_n("First line", 10, twoLines.begin());
    std::copy_n("Second line", 11, twoLines.begin() + 40);
    const std::pair<std::vector<uint8_t>, std::string> cases[] = {
        {twoLines, "First line\r\nSecond line\r\n"},
        {{0, 0, 'a', 'b', 0}, "\r\nab\r\n"},
        {{'x', 'y'}, "xy"},
        {std::vector<uint8_t>(40, 0), "(none)"},
        {{}, "(none)"},
    };
    for (const auto& [comment, message] : cases) {
        auto player = load(MtmSong{.comment = comment}.build());
        ASSERT_TRUE(player);
        const char* text = player->info().songMessage();
        EXPECT_EQ(text ? text : "(none)", message);
    }
}

TEST(MtmLoader, DamagedFilesAreRefusedOrKeepWhatIsThere) {
    MtmSong complete{.title = "complete", .orders = {0, 1}, .patterns = {{1, 2}, {2, 1}}};
    complete.samples = {mtmSquare(48), {"second", {0x80, 0x90, 0xA0, 0xB0}}};
    complete.cells = {{{1, 0}, {25, 1}}, {{2, 4}, {30, 2, 0xC, 0x20}}};
    complete.comment = {'a', 'b', 0, 'c'};
    const auto bytes = complete.build();
    expectCutsKeepSampleData(bytes, loadMtm);
    auto wrongMagic = bytes;
    wrongMagic[2] = 'N';
    EXPECT_FALSE(load(wrongMagic));
    auto tooManyTracks = bytes;
    tooManyTracks[24] = tooManyTracks[25] = 0xFF; // the track count: refused before allocating
    EXPECT_FALSE(load(tooManyTracks));

    // Pattern 0 names track 9 of a file with 1 track; the order list names pattern 7 of 1.
    RecordingMixer mixer;
    MtmSong broken{.channels = 2, .samples = {mtmSquare(32)}, .orders = {0, 7, 0}};
    broken.cells = {{{1, 2}, {25, 1}}};
    broken.patterns = {{1, 9}};
    auto player = playMtm(broken.build(), mixer);
    ASSERT_TRUE(player);
    // Slot 1 plays nothing; the note sounds in both passes of pattern 0.
    EXPECT_EQ((std::vector<std::size_t>{player->info().channelCount(), player->isPatternMissing(7),
                                        traceRows(*player, 1000).size(), mixer.voices[0].starts}),
              (std::vector<std::size_t>{2, 1, 3 * 64, 2}));
}

} // namespace
} // namespace tolva::test
