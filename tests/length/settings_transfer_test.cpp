#include "engine/Player.h"
#include "engine/SongSettings.h"
#include "formats/mod/ModLoader.h"
#include "song/MemoryStream.h"
#include "support/ModBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// 256 x the amplification table's factor x the format's gain for the channel count.
TEST(SettingsTransfer, GainScalesWithAmplificationAndChannels) {
    struct Case {
        uint32_t channels;
        const char* tag;
        int32_t amp;
        int32_t gain;
    } cases[] = {
        {4, "M.K.", 0, 307},     // 256 x 1.0 x 1.2
        {8, "OCTA", 0, 614},     // 256 x 1.0 x 2.4
        {4, "M.K.", 1500, 1727}, // entry 448: 368536 / 65536
        {4, "M.K.", -1500, 54},  // entry 64: 11654 / 65536
    };
    for (const Case& c : cases) {
        MemoryStream stream(ModBuilder(c.channels, c.tag).build());
        auto player = loadMod(stream, true, nullptr);
        ASSERT_TRUE(player);
        Settings s;
        s.amp = c.amp;
        applySettings(*player, s, false);
        EXPECT_EQ(player->gain, c.gain) << c.tag << " " << c.amp;
    }
}

} // namespace
} // namespace tolva::test
