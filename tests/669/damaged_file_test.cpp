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

TEST(Damaged669, EveryCutCopyIsRefused) {
    const auto bytes = completeSong();
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        SampleStoreMixer mixer;
        MemoryStream stream(bytes.data(), size);
        EXPECT_FALSE(load669(stream, false, &mixer)) << "cut at " << size;
        EXPECT_EQ(mixer.liveBlocks(), 0u) << "cut at " << size;
    }
    SampleStoreMixer mixer;
    MemoryStream whole(bytes);
    EXPECT_TRUE(load669(whole, false, &mixer));
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
