#include "engine/ScreamEffects.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// Each form of the retrigger's volume change once, on a channel record of its kind; tremor and
// the fine slides are checked through S3M songs.
TEST(ScreamEffects, RetriggerWithVolumeChange) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder().build(), mixer);
    ScreamChannel ch;
    ch.volume = 60;
    const EffectHandler& retrigger = handlers::retriggerVolumeSlide;
    // Every 3 ticks x 2/3; every tick -16, which 00 keeps; every tick x 2, up to 64.
    std::vector<int> volumes, starts;
    for (const auto& [param, ticks] : {std::pair{0x63, 3}, {0x51, 1}, {0x00, 1}, {0xF0, 4}}) {
        retrigger.onRow(*player, ch, static_cast<uint8_t>(param));
        for (int t = 0; t < ticks; ++t) {
            player->changeFlags = 0;
            retrigger.onTick(*player, ch);
            starts.push_back((player->changeFlags & ChangeStartNote) != 0);
        }
        volumes.push_back(ch.volume);
    }
    EXPECT_EQ(volumes, (std::vector<int>{40, 24, 8, 64}));
    EXPECT_EQ(starts, (std::vector<int>{0, 0, 1, 1, 1, 1, 1, 1, 1}));
}

} // namespace
} // namespace tolva::test
