#include "formats/mtm669/Loader669.h"
#include "song/MemoryStream.h"
#include "support/Composer669Builder.h"
#include "support/FormatPlayers.h"
#include "support/PlayerHarness.h"
#include "support/SampleStoreMixer.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

std::vector<uint8_t> completeSong() {
    return Composer669Builder()
        .message("complete")
        .sample(square669(48))
        .sample({"second", {0x80, 0x90, 0xA0, 0xB0}, 0, 4})
        .orders({0, 2})
        .patternCount(3)
        .cell(0, 0, 0, note669(25, 0, 15))
        .cell(2, 4, 1, note669(30, 1, 7).withEffect(4, 2))
        .build();
}

TEST(Damaged669, CutsBeforeTheSampleDataAreRefusedCutsInsideItKeepWhatIsThere) {
    const auto bytes = completeSong();
    const std::size_t samples = bytes.size() - 52; // 48 + 4 bytes of sample data at the end
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        SampleStoreMixer mixer;
        MemoryStream stream(bytes.data(), size);
        auto player = load669(stream, false, &mixer);
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

TEST(Damaged669, PatternsWithoutDataOrListEntriesPlayAsEmpty) {
    // 130 stored patterns: 129 has no tempo or break entry, and 135 is not stored at all.
    auto bytes = Composer669Builder().orders({0, 129, 135}).patternCount(130).build();
    RecordingMixer mixer;
    auto player = play669(bytes, mixer);
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->isPatternMissing(129));
    EXPECT_TRUE(player->isPatternMissing(135));
    EXPECT_EQ(traceRows(*player, 1000).size(), 3u * 64);
}

} // namespace
} // namespace tolva::test
