#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

std::unique_ptr<Player> play(ModBuilder builder, RecordingMixer& mixer) {
    auto player = playMod(builder.sample(squareSample(64)).build(), mixer);
    EXPECT_TRUE(player);
    return player;
}

TEST(Portamento, UpAndDownMoveThePeriodOnEveryTickButTheFirst) {
    RecordingMixer mixer;
    auto player = play(ModBuilder()
                           .cell(0, 0, 0, note(25, 1, 0x1, 0x04))
                           .cell(0, 1, 0, fx(0x2, 0x03))
                           .cell(0, 2, 0, fx(0x1, 0x00)),
                       mixer);
    Channel& ch = player->channel(0);
    playTick(*player);
    EXPECT_EQ(soundingPeriod(ch), 428);
    playRow(*player);
    EXPECT_EQ(soundingPeriod(ch), 428 - 5 * 4);
    playRow(*player);
    EXPECT_EQ(soundingPeriod(ch), 408 + 5 * 3);
    playRow(*player); // no memory: 100 slides by nothing
    EXPECT_EQ(soundingPeriod(ch), 423);
}

TEST(Portamento, SlidesStopAtThePeriodLimits) {
    RecordingMixer mixer;
    auto player = play(
        ModBuilder().cell(0, 0, 0, note(25, 1, 0x1, 0xFF)).cell(0, 1, 0, note(13, 1, 0x2, 0xFF)),
        mixer);
    Channel& ch = player->channel(0);
    playRow(*player);
    EXPECT_EQ(soundingPeriod(ch), 7); // 428 - 255 = 173, then the minimum
    playTick(*player);
    playTick(*player);
    EXPECT_EQ(soundingPeriod(ch), 856 + 255);
    playRow(*player);
    EXPECT_EQ(soundingPeriod(ch), 1712);
}

TEST(TonePortamento, SlidesTowardsTheNoteWithoutRestartingAndRemembersSpeedAndNote) {
    RecordingMixer mixer;
    auto player = play(ModBuilder()
                           .cell(0, 0, 0, note(25, 1))
                           .cell(0, 1, 0, note(13, 0, 0x3, 0x10))
                           .cell(0, 2, 0, fx(0x3, 0x00))
                           .cell(0, 3, 0, fx(0x5, 0x02))
                           .cell(0, 4, 0, fx(0x3, 0xFF))
                           .cell(0, 5, 0, fx(0x5, 0x00)),
                       mixer);
    Channel& ch = player->channel(0);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 1u);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 1u); // the target note does not start the sample
    EXPECT_EQ(ch.period, 428);
    EXPECT_EQ(soundingPeriod(ch), 428 + 5 * 16);
    playRow(*player);
    EXPECT_EQ(soundingPeriod(ch), 508 + 5 * 16);
    playRow(*player); // 5xy: remembered speed, volume slide down 2
    EXPECT_EQ(soundingPeriod(ch), 588 + 5 * 16);
    EXPECT_EQ(ch.volume, 64 - 5 * 2);
    playTick(*player);
    playTick(*player);
    EXPECT_EQ(soundingPeriod(ch), 856); // stops exactly on the target
    playRow(*player);
    EXPECT_EQ(soundingPeriod(ch), 856);
    playRow(*player); // 500: the remembered slide, down 2 on five ticks
    EXPECT_EQ(soundingPeriod(ch), 856);
    EXPECT_EQ(ch.volume, 54 - 5 * 2);
}

TEST(TonePortamento, NewNoteClearsTheSlide) {
    RecordingMixer mixer;
    auto player =
        play(ModBuilder().cell(0, 0, 0, note(25, 1, 0x1, 0x08)).cell(0, 1, 0, note(37, 1)), mixer);
    Channel& ch = player->channel(0);
    playRow(*player);
    EXPECT_EQ(ch.slideOffset, -40);
    playTick(*player);
    EXPECT_EQ(ch.slideOffset, 0);
    EXPECT_EQ(soundingPeriod(ch), 214);
}

TEST(FineSlides, MoveOnceOnTheFirstTick) {
    RecordingMixer mixer;
    auto player = play(
        ModBuilder().cell(0, 0, 0, note(25, 1, 0xE, 0x13)).cell(0, 1, 0, fx(0xE, 0x25)), mixer);
    Channel& ch = player->channel(0);
    playTick(*player);
    EXPECT_EQ(soundingPeriod(ch), 425);
    playRow(*player);
    EXPECT_EQ(soundingPeriod(ch), 425);
    playTick(*player);
    EXPECT_EQ(soundingPeriod(ch), 430);
}

} // namespace
} // namespace tolva::test
