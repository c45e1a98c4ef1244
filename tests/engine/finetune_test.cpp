#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(Finetune, TheSampleHeaderValuePicksProTrackersTunedPeriod) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64, 64, 0x01))
                              .sample(squareSample(64, 64, 0x0F))
                              .sample(squareSample(64, 64, 0x0E))
                              .cell(0, 0, 0, note(25, 1))
                              .cell(0, 0, 1, note(25, 2))
                              .cell(0, 0, 2, note(42, 3))
                              .cell(0, 0, 3, note(49, 1))
                              .build(),
                          mixer);
    playTick(*player);
    EXPECT_EQ(player->channel(0).period, 425); // C-2 at +1; 428 x 2^(-1/96) would cut to 424
    EXPECT_EQ(player->channel(1).period, 431); // C-2 at -1
    EXPECT_EQ(player->channel(2).period, 163); // F-3 at -2; 160 x 2^(2/96) would cut to 162
    // Beyond ProTracker's three octaves the period is scaled: 107 x 2^(-1/96).
    EXPECT_EQ(player->channel(3).period, 106);
}

TEST(Finetune, SetFinetuneTunesTheChannelUntilAnInstrumentNumber) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(squareSample(64))
                              .cell(0, 0, 0, note(25, 1, 0xE, 0x55))
                              .cell(0, 1, 0, note(25))
                              .cell(0, 1, 1, note(25, 1))
                              .cell(0, 2, 0, note(25, 1))
                              .build(),
                          mixer);
    playTick(*player);
    EXPECT_EQ(player->channel(0).period, 413); // C-2 at +5, on the command's own row
    playRow(*player);
    playTick(*player);
    EXPECT_EQ(player->channel(0).period, 413); // no instrument number: the channel keeps +5
    EXPECT_EQ(player->channel(1).period, 428); // the sample keeps its own finetune
    playRow(*player);
    playTick(*player);
    EXPECT_EQ(player->channel(0).period, 428);
}

} // namespace
} // namespace tolva::test
