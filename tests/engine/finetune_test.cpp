#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(Finetune, TheSampleHeaderValueScalesThePeriod) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64, 64, 0x01))
                              .sample(squareSample(64, 64, 0x0F))
                              .cell(0, 0, 0, note(25, 1))
                              .cell(0, 0, 1, note(25, 2))
                              .build(),
                          mixer);
    playTick(*player);
    EXPECT_EQ(player->channel(0).period, 424); // 428 x 2^(-1/96)
    EXPECT_EQ(player->channel(1).period, 431); // 428 x 2^(1/96)
}

TEST(Finetune, SetFinetuneChangesTheSampleForEveryLaterNote) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64))
                              .cell(0, 0, 0, note(25, 1, 0xE, 0x55))
                              .cell(0, 1, 1, note(25, 1))
                              .build(),
                          mixer);
    playTick(*player);
    EXPECT_EQ(player->channel(0).period, 428); // this note was set up before the command
    EXPECT_EQ(player->sample(0)->finetune, 5);
    playRow(*player);
    playTick(*player);
    EXPECT_EQ(player->channel(1).period, 412); // 428 x 2^(-5/96)
}

} // namespace
} // namespace tolva::test
