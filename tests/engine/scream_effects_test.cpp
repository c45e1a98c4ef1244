#include "engine/ScreamEffects.h"
#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

// The handlers run against a plain player, on a channel record of their kind.
class ScreamEffects : public ::testing::Test {
protected:
    void SetUp() override {
        player = playMod(ModBuilder().build(), mixer);
        ch.volume = 60;
    }

    void tick(const EffectHandler& h) {
        player->changeFlags = 0;
        h.onTick(*player, ch);
    }

    RecordingMixer mixer;
    std::unique_ptr<Player> player;
    ScreamChannel ch;
};

// Each form of the retrigger's volume change once; tremor and the fine slides are checked
// through S3M songs.
TEST_F(ScreamEffects, RetriggerWithVolumeChange) {
    // Every 3 ticks x 2/3; every tick -16, which 00 keeps; every tick x 2, up to 64.
    std::vector<int> volumes, starts;
    for (const auto& [param, ticks] : {std::pair{0x63, 3}, {0x51, 1}, {0x00, 1}, {0xF0, 4}}) {
        handlers::retriggerVolumeSlide.onRow(*player, ch, static_cast<uint8_t>(param));
        for (int t = 0; t < ticks; ++t) {
            tick(handlers::retriggerVolumeSlide);
            starts.push_back((player->changeFlags & ChangeStartNote) != 0);
        }
        volumes.push_back(ch.volume);
    }
    EXPECT_EQ(volumes, (std::vector<int>{40, 24, 8, 64}));
    EXPECT_EQ(starts, (std::vector<int>{0, 0, 1, 1, 1, 1, 1, 1, 1}));
}

} // namespace
} // namespace tolva::test
