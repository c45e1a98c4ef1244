#include "support/ModBuilder.h"
#include "support/PlayerHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

ModSampleDef unlooped(uint32_t length) {
    ModSampleDef s = squareSample(length);
    s.loopLength = 0;
    return s;
}

TEST(SampleOffset, StartsTheNoteInsideTheSampleAndRemembersTheOffset) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(unlooped(1024))
                              .cell(0, 0, 0, note(25, 1, 0x9, 0x02))
                              .cell(0, 1, 0, note(25, 1, 0x9, 0x00))
                              .cell(0, 2, 0, note(25, 1))
                              .build(),
                          mixer);
    playRow(*player);
    EXPECT_TRUE(mixer.voices[0].active);
    EXPECT_EQ(mixer.voices[0].startOffset, 512u);
    EXPECT_EQ(mixer.voices[0].end, 1024u);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].startOffset, 512u);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].startOffset, 0u);
}

TEST(SampleOffset, PastTheEndTheVoiceDoesNotStart) {
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(unlooped(1024))
                              .cell(0, 0, 0, note(25, 1, 0x9, 0x04)) // exactly the end
                              .cell(0, 1, 0, note(25, 1, 0x9, 0x05))
                              .build(),
                          mixer);
    playRow(*player);
    EXPECT_TRUE(mixer.voices[0].active);
    EXPECT_EQ(mixer.voices[0].startOffset, 1024u);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].starts, 2u);
    EXPECT_FALSE(mixer.voices[0].active);
}

TEST(SampleOffset, ALoopedSampleEndsAtItsLoopEnd) {
    ModSampleDef s = unlooped(1024);
    s.loopStart = 0;
    s.loopLength = 256;
    RecordingMixer mixer;
    auto player = playMod(ModBuilder()
                              .sample(s)
                              .cell(0, 0, 0, note(25, 1, 0x9, 0x01))
                              .cell(0, 1, 0, note(25, 1, 0x9, 0x02))
                              .cell(0, 2, 0, note(25, 1, 0x9, 0x05))
                              .build(),
                          mixer);
    playRow(*player);
    EXPECT_TRUE(mixer.voices[0].active);
    EXPECT_EQ(mixer.voices[0].end, 256u);
    playRow(*player);
    EXPECT_FALSE(mixer.voices[0].active); // 512 lies beyond the loop end
    playRow(*player);
    EXPECT_TRUE(mixer.voices[0].active); // 1280 lies beyond the sample: the loop plays
    EXPECT_EQ(mixer.voices[0].startOffset, 0u);
}

} // namespace
} // namespace tolva::test
