#include "engine/Player.h"
#include "engine/SongSettings.h"
#include "formats/mod/ModLoader.h"
#include "song/MemoryStream.h"
#include "support/ModBuilder.h"

#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::test;

namespace {

std::unique_ptr<Player> loaded(uint32_t channels, const char* tag) {
    MemoryStream stream(ModBuilder(channels, tag).build());
    return loadMod(stream, true, nullptr);
}

Settings loopSettings(uint32_t mode, bool extra, bool byCount, uint32_t count = 1) {
    Settings s;
    s.lengthMode = mode;
    s.extraPlayTime = extra;
    s.loopByCount = byCount;
    s.loopCount = count;
    return s;
}

} // namespace

TEST(SettingsTransfer, LengthModeDecidesBackwardJumpsAndTheLoopLimit) {
    auto player = loaded(4, "M.K.");
    ASSERT_TRUE(player);
    applySettings(*player, loopSettings(LengthNoBackwardJumps, true, true, 5), false);
    EXPECT_TRUE(player->songFlags & SongNoBackwardJumps);

    applySettings(*player, loopSettings(LengthDetectLoop, false, true, 5), false);
    EXPECT_FALSE(player->songFlags & SongNoBackwardJumps);
    EXPECT_EQ(player->maxLoops, 1u);

    applySettings(*player, loopSettings(LengthDetectLoop, true, true, 5), false);
    EXPECT_EQ(player->maxLoops, 5u);

    applySettings(*player, loopSettings(LengthDetectLoop, true, false, 5), false);
    EXPECT_EQ(player->maxLoops, NoLoopLimit);
    applySettings(*player, loopSettings(LengthDetectLoop, true, false, 5), true);
    EXPECT_EQ(player->maxLoops, 1u);
}

TEST(SettingsTransfer, SongAndModSwitchesFollowTheirFlags) {
    auto player = loaded(4, "M.K.");
    Settings s;
    s.stripTrailingEmptyPatterns = 7;
    s.oldProTrackerMode = 1;
    s.disableModPanning = 0;
    applySettings(*player, s, false);
    EXPECT_TRUE(player->songFlags & SongSkipTrailingEmpty);
    EXPECT_TRUE(player->oldProTrackerMode);
    EXPECT_TRUE(player->modPanningEnabled);

    applySettings(*player, Settings{}, false);
    EXPECT_FALSE(player->songFlags & SongSkipTrailingEmpty);
    EXPECT_FALSE(player->oldProTrackerMode);
    EXPECT_FALSE(player->modPanningEnabled); // panning is off by default
}

TEST(SettingsTransfer, GainScalesWithAmplificationAndChannels) {
    auto four = loaded(4, "M.K.");
    auto eight = loaded(8, "OCTA");
    Settings s;
    applySettings(*four, s, false);
    EXPECT_EQ(four->gain, 307); // 256 x 1.0 x 1.2
    applySettings(*eight, s, false);
    EXPECT_EQ(eight->gain, 614); // 256 x 1.0 x 2.4
    s.amp = 1500;                // entry 448: 368536 / 65536
    applySettings(*four, s, false);
    EXPECT_EQ(four->gain, 1727);
    s.amp = -1500; // entry 64: 11654 / 65536
    applySettings(*four, s, false);
    EXPECT_EQ(four->gain, 54);
}
