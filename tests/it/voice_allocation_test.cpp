#include "support/ItHarness.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace tolva::test {
namespace {

ItTestInstrument continuing() {
    ItTestInstrument ins;
    ins.newNoteAction = ItActionContinue;
    return ins;
}

// Channel 5 plays a looped note on every row and lets each one go on in the background.
TEST(ItVoiceAllocation, NotesFillEveryVoiceThenTheChannelsOwnAndTheOldest) {
    ItPatternWriter rows(70);
    for (uint32_t r = 0; r < 70; ++r)
        rows.cell(r, 5, {60, 1});
    ItFileBuilder b = itSong(rows, {continuing()});
    b.speed = 1;
    auto song = playIt(b);
    std::vector<int> taken;
    for (int r = 0; r < 67; ++r) {
        playTick(*song->player);
        taken.push_back(song->it().voiceOf(5));
    }
    std::vector<int> expected = {0, 5, 1, 2, 3, 4};
    for (int v = 6; v < 64; ++v)
        expected.push_back(v);
    // All 64 sound: voice 5 is the channel's own, then the one longest in the background.
    expected.insert(expected.end(), {5, 0, 5});
    EXPECT_EQ(taken, expected);
    for (uint32_t v = 0; v < ItVoices; ++v)
        EXPECT_TRUE(song->sounds(v)) << v;
}

TEST(ItVoiceAllocation, WithoutABackgroundVoiceTheChannelKeepsItsOwn) {
    ItPatternWriter rows;
    for (uint32_t k = 0; k < 64; ++k)
        rows.cell(0, k, {60, 1});
    rows.cell(1, 0, {72, 1});
    auto song = playIt(itSong(rows, {continuing()}));
    playRow(*song->player);
    for (uint32_t k = 0; k < 64; ++k)
        ASSERT_EQ(song->it().voiceOf(k), static_cast<int>(k));
    playTick(*song->player);
    EXPECT_EQ(song->it().voiceOf(0), 0);
    EXPECT_EQ(song->channel(0).note, 72u);
    EXPECT_EQ(song->voice(0).step, 2u * 8363 * 65536 / 44100);
}

TEST(ItVoiceAllocation, ASilentVoiceOfAnotherChannelIsTakenBack) {
    ItPatternWriter rows;
    rows.cell(0, 0, {60, 1}).cell(0, 1, {60, 1}).cell(1, 0, {254});
    for (uint32_t k = 2; k < 64; ++k)
        rows.cell(0, k, {60, 1});
    rows.cell(2, 1, {62, 1});
    auto song = playIt(itSong(rows, {continuing()}));
    playRow(*song->player);
    playRow(*song->player);
    ASSERT_FALSE(song->sounds(0));
    playTick(*song->player);
    // Channel 1's new note takes the silent voice 0; channel 0 keeps its state parked.
    EXPECT_EQ(song->it().voiceOf(1), 0);
    EXPECT_EQ(song->it().voiceOf(0), -1);
    EXPECT_EQ(song->it().parkedChannels[0].note, 60u);
    EXPECT_TRUE(song->it().voices[1].background);
}

TEST(ItSampleMode, ChannelsPlayOnTheirOwnVoicesWithoutBackgroundNotes) {
    ItPatternWriter rows;
    rows.cell(0, 3, {60, 1}).cell(1, 3, {64, 1});
    auto song = playIt(itSong(rows, {}));
    playRow(*song->player);
    EXPECT_TRUE(song->sounds(3));
    playTick(*song->player);
    EXPECT_EQ(song->it().voiceOf(3), 3);
    for (uint32_t v = 0; v < ItVoices; ++v) {
        EXPECT_FALSE(song->it().voices[v].background) << v;
        EXPECT_EQ(song->sounds(v), v == 3) << v;
    }
    EXPECT_EQ(song->channel(3).note, 64u);
}

} // namespace
} // namespace tolva::test
