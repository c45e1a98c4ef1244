#include "formats/mtm669/MtmLoader.h"
#include "song/MemoryStream.h"
#include "support/FormatPlayers.h"
#include "support/MtmBuilder.h"
#include "support/PlayerHarness.h"
#include "support/SampleStoreMixer.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

std::vector<uint8_t> completeSong() {
    return MtmBuilder()
        .title("complete")
        .sample(mtmSquare(48))
        .sample({"second", {0x80, 0x90, 0xA0, 0xB0}})
        .orders({0, 1})
        .cell(1, 0, mtmNote(25, 1))
        .cell(2, 4, mtmNote(30, 2, 0xC, 0x20))
        .pattern(0, {1, 2})
        .pattern(1, {2, 1})
        .comment({'a', 'b', 0, 'c'})
        .build();
}

TEST(MtmDamagedFile, CutsBeforeTheSampleDataAreRefusedCutsInsideItKeepWhatIsThere) {
    const auto bytes = completeSong();
    const std::size_t samples = bytes.size() - 52; // 48 + 4 bytes of sample data at the end
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        SampleStoreMixer mixer;
        MemoryStream stream(bytes.data(), size);
        auto player = loadMtm(stream, false, &mixer);
        ASSERT_EQ(player != nullptr, size >= samples) << "cut at " << size;
        if (player) {
            const std::size_t held = size - samples;
            EXPECT_EQ(player->sample(0)->length, std::min<std::size_t>(held, 48)) << size;
            EXPECT_EQ(player->sample(1)->length, held > 48 ? held - 48 : 0) << size;
        }
        player.reset();
        EXPECT_EQ(mixer.liveBlocks(), 0u) << "cut at " << size;
    }
}

TEST(MtmDamagedFile, WrongMagicIsRefused) {
    auto bytes = completeSong();
    bytes[2] = 'N';
    MemoryStream stream(bytes);
    EXPECT_FALSE(loadMtm(stream, true, nullptr));
}

TEST(MtmDamagedFile, TrackCountBeyondTheFileIsRefusedBeforeAllocating) {
    auto bytes = completeSong();
    bytes[MtmTrackCountOffset] = 0xFF;
    bytes[MtmTrackCountOffset + 1] = 0xFF;
    MemoryStream stream(bytes);
    EXPECT_FALSE(loadMtm(stream, true, nullptr));
}

TEST(MtmDamagedFile, UnknownTracksAndPatternsPlayAsEmpty) {
    // Pattern 0 names track 9 of a file with 1 track; the order list names pattern 7 of 1.
    const auto bytes = MtmBuilder()
                           .channels(2)
                           .sample(mtmSquare(32))
                           .orders({0, 7, 0})
                           .cell(1, 2, mtmNote(25, 1))
                           .pattern(0, {1, 9})
                           .build();
    RecordingMixer mixer;
    auto player = playMtm(bytes, mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->channelCount(), 2u); // slot 1 plays nothing
    EXPECT_TRUE(player->isPatternMissing(7));
    const auto rows = traceRows(*player, 1000);
    EXPECT_EQ(rows.size(), 3u * 64);
    EXPECT_EQ(mixer.voices[0].starts, 2u); // the note in both passes of pattern 0
}

} // namespace
} // namespace tolva::test
