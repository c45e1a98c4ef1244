// The tunes of one order list: where each starts, how long it plays under the length rules, and
// the main song, which ends where its own tune ends. The songs play at speed 6 and 125 BPM, a
// row being 5292 frames at 44.1 kHz (a row at speed 3 counts half).
#include "song/MemoryStream.h"
#include "support/S3mBuilder.h"
#include "support/ScannedSong.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using Table = std::vector<std::pair<uint32_t, uint64_t>>; // start order, rows

LoadedSong loadTunes(const std::vector<uint8_t>& bytes, const SongOptions& options) {
    MemoryStream stream(bytes);
    LoadedSong song;
    EXPECT_EQ(loadSong(stream, {.song = options, .findSubsongs = true}, song), LoadFailure::None);
    return song;
}

// Each tune's start and length in rows; a length of no whole rows shows as a fraction's rest.
Table tableOf(const LoadedSong& song) {
    Table table;
    for (const Subsong& tune : song.subsongs) {
        const uint64_t frames = tune.length.scannedFrames;
        table.emplace_back(tune.startOrder, frames / framesForRows(1) + frames % framesForRows(1));
    }
    return table;
}

ModCell jump(uint8_t order) {
    return fx(0xB, order);
}

// Each order a tune that jumps back to its own start; the first sets speed 3, which the others,
// starting afresh, do not keep.
std::vector<uint8_t> jumpOnlySong() {
    return lengthSong({0, 1, 2}, {{0, 0, 0, note(25, 1, 0xF, 3)},
                                  {0, 63, 3, jump(0)},
                                  {1, 0, 0, note(25, 1)},
                                  {1, 63, 3, jump(1)},
                                  {2, 0, 0, note(25, 1)},
                                  {2, 63, 3, jump(2)}});
}

// The main tune loops on order 0; the second plays order 1 and half of order 2, then jumps
// into the main tune, which ends it; order 3 is a third.
std::vector<uint8_t> jumpIntoSong() {
    return lengthSong({0, 1, 2, 3}, {{0, 0, 0, note(25, 1)},
                                     {0, 63, 3, jump(0)},
                                     {1, 0, 0, note(25, 1)},
                                     {2, 31, 3, jump(0)},
                                     {3, 0, 0, note(25, 1)}});
}

// A jump past the order list ends the main tune halfway through order 0.
std::vector<uint8_t> pastEndSong() {
    return lengthSong({0, 1}, {{0, 0, 0, note(25, 1)}, {0, 31, 3, jump(0x7F)}});
}

// Orders 0, 1 (which jumps back to 0), a skip mark, 2, an end mark, 3.
std::vector<uint8_t> markedS3m() {
    S3mBuilder b = S3mBuilder().sample(loopedSample(64)).orders({0, 1, 254, 2, 255, 3});
    for (uint32_t p = 0; p < 4; ++p)
        b.cell(p, 0, 0, s3mNote(4, 0, 1));
    return b.cell(1, 63, 3, s3mFx('B', 0)).build();
}

TEST(Subsongs, StartsAndLengthsUnderEachRule) {
    const SongOptions noBack{};
    const SongOptions twoPasses{
        .lengthRule = LengthRule::DetectLoop, .loops = LoopRule::Count, .loopCount = 2};
    const struct {
        const char* what;
        std::vector<uint8_t> song;
        SongOptions options;
        Table expected;
    } cases[] = {
        {"jumps only", jumpOnlySong(), noBack, {{0, 32}, {1, 64}, {2, 64}}},
        {"jumps only, two passes", jumpOnlySong(), twoPasses, {{0, 64}, {1, 128}, {2, 128}}},
        {"jump into another", jumpIntoSong(), noBack, {{0, 64}, {1, 96}, {3, 64}}},
        // Reaching an earlier tune's order ends a tune however many passes are asked for.
        {"jump into another, two passes", jumpIntoSong(), twoPasses, {{0, 128}, {1, 96}, {3, 64}}},
        {"jump past the end", pastEndSong(), noBack, {{0, 32}, {1, 64}}},
        // A tune starts at the first order its skip mark leaves, and ends at an end mark.
        {"skip and end marks", markedS3m(), noBack, {{0, 128}, {3, 64}, {5, 64}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        LoadedSong song = loadTunes(c.song, c.options);
        ASSERT_TRUE(song.session);
        EXPECT_EQ(tableOf(song), c.expected);
        // The main song plays as measured, never into the next tune.
        EXPECT_EQ(song.length.scannedFrames,
                  framesForRows(static_cast<uint32_t>(c.expected[0].second)));
    }
}

TEST(Subsongs, AChosenTunePlaysItsOrdersAloneAndRewindsToItsStart) {
    LoadedSong song = loadTunes(jumpIntoSong(), {});
    ASSERT_TRUE(selectSubsong(song, 1));
    EXPECT_FALSE(selectSubsong(song, 3));
    const Player& player = song.session->player();
    EXPECT_EQ(renderToEnd(song, Settings{}, framesForRows(200)), framesForRows(96));
    EXPECT_EQ(player.playedOrders.to_ulong(), 0b110u);
    // Seeking back restarts it at order 1.
    seekSong(song, 44100, 0);
    song.session->renderFrames(2, nullptr, nullptr);
    EXPECT_EQ(player.currentOrder, 1u);
    ASSERT_TRUE(selectSubsong(song, 0));
    EXPECT_EQ(renderToEnd(song, Settings{}, framesForRows(200)), framesForRows(64));
}

} // namespace
} // namespace tolva::test
