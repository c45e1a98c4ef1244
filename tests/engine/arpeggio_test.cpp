#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(Arpeggio, CyclesThroughBaseThirdAndFifthOnSuccessiveTicks) {
    const auto bytes = ModBuilder()
                           .sample(squareSample(64))
                           .cell(0, 0, 0, note(25, 1, 0x0, 0x37))
                           .cell(0, 1, 0, note(25))
                           .build();
    RecordingMixer mixer;
    auto player = playMod(bytes, mixer);
    ASSERT_TRUE(player);
    Channel& ch = player->channel(0);
    // Note 25 is period 428; +3 semitones 360, +7 semitones 285.
    const int32_t expected[] = {428, 360, 285, 428, 360, 285};
    for (int32_t period : expected) {
        playTick(*player);
        EXPECT_EQ(soundingPeriod(ch), period);
    }
    EXPECT_EQ(mixer.voices[0].step, 18494u); // 285 at 44100 Hz, PAL clock 3546895 Hz

    playTick(*player); // next row has no arpeggio: back to the note
    EXPECT_EQ(soundingPeriod(ch), 428);
    EXPECT_EQ(mixer.voices[0].step, 12315u);
}

TEST(Arpeggio, ZeroParameterIsNoEffect) {
    const auto bytes =
        ModBuilder().sample(squareSample(64)).cell(0, 0, 0, note(25, 1, 0x0, 0x00)).build();
    RecordingMixer mixer;
    auto player = playMod(bytes, mixer);
    for (int tick = 0; tick < 6; ++tick) {
        playTick(*player);
        EXPECT_EQ(soundingPeriod(player->channel(0)), 428);
    }
}

} // namespace
} // namespace tolva::test
