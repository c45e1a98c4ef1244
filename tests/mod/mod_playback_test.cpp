#include "engine/SongOptions.h"
#include "formats/mod/ModLoader.h"
#include "formats/mod/ModPlayer.h"
#include "song/MemoryStream.h"
#include "support/TickCases.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tolva::test {
namespace {

using enum Read;

TEST(ModPanning, PanningCommandsAreIgnoredWhileDisabled) {
    const std::vector<PlacedCell> cells = {{0, 0, note(25, 1, 0x8, 0x80)},
                                           {0, 1, note(25, 1, 0xE, 0x83)}};
    const auto off = [](Player& p) { p.modPanningEnabled = false; };
    const auto on = [](Player& p) { p.modPanningEnabled = true; };
    const std::vector<ModSampleDef> square = {squareSample(64)};
    runTickCases({
        {"disabled", cells, "t01", MixerPanning, {0x20, 0xE0}, square, off},
        {"enabled", cells, "t01", MixerPanning, {0x80, 0x30}, square, on},
    });
}

TEST(ModOptions, OtherFormatsKeepTempoAndPanningRules) {
    RecordingMixer mixer;
    ModPlayer player(&mixer);
    player.quirks.proTrackerOptions = false;
    MemoryStream stream(
        ModBuilder().cell(0, 0, 0, fx(0xF, 0x40)).cell(0, 0, 1, fx(8, 0x90)).build());
    player.song = std::move(loadMod(stream, true, nullptr)->song);
    player.oldProTrackerMode = true;
    player.modPanningEnabled = false;
    player.restartSong();
    player.configurePlayback(44100);
    playTick(player);
    EXPECT_EQ((std::vector<int>{player.tempo, player.speed, player.channel(1).panning}),
              (std::vector<int>{0x40, 6, 0x90}));
}

// 256 x the amplification table's factor x the format's gain for the channel count.
TEST(SongOptionsTransfer, GainScalesWithAmplificationAndChannels) {
    const std::tuple<uint32_t, const char*, int32_t, int32_t> cases[] = {
        {4, "M.K.", 0, 307},     // 256 x 1.0 x 1.2
        {8, "OCTA", 0, 614},     // 256 x 1.0 x 2.4
        {4, "M.K.", 1500, 1727}, // entry 448: 368536 / 65536
        {4, "M.K.", -1500, 54},  // entry 64: 11654 / 65536
    };
    for (const auto& [channels, tag, amp, gain] : cases) {
        MemoryStream stream(ModBuilder(channels, tag).build());
        auto player = loadMod(stream, true, nullptr);
        ASSERT_TRUE(player);
        applyOptions(*player, {.amp = static_cast<int16_t>(amp)}, false);
        EXPECT_EQ(player->gain, gain) << tag << " " << amp;
    }
}

} // namespace
} // namespace tolva::test
