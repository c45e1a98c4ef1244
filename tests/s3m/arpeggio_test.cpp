#include "support/PlayerHarness.h"
#include "support/S3mBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using Periods = std::vector<int32_t>;

TEST(S3mArpeggio, CyclesNoteThirdAndFifthWithMemory) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64))
                              .cell(0, 0, 0, s3mNote(4, 0, 1, 'J', 0x37))
                              .cell(0, 1, 0, s3mFx('J', 0x00))
                              .cell(0, 2, 0, s3mNote(4, 9, 1, 'J', 0x70))
                              .build(),
                          mixer);
    // C-4 1712, D#4 1440, G-4 1140.
    EXPECT_EQ(rowPeriods(*player), (Periods{1712, 1440, 1140, 1712, 1440, 1140}));
    EXPECT_EQ(rowPeriods(*player), (Periods{1712, 1440, 1140, 1712, 1440, 1140}));
    // A-4 (1016) + 7 carries into the next octave: E-5 (678).
    EXPECT_EQ(rowPeriods(*player), (Periods{1016, 678, 1016, 1016, 678, 1016}));
}

TEST(S3mArpeggio, PlaysAroundTheNoteNotTheSlidPitch) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64))
                              .cell(0, 0, 0, s3mNote(4, 0, 1, 'E', 0xF4))
                              .cell(0, 1, 0, s3mFx('J', 0x30))
                              .build(),
                          mixer);
    playRow(*player);
    EXPECT_EQ(soundingPeriod(player->channel(0)), 1728);
    EXPECT_EQ(rowPeriods(*player), (Periods{1712, 1440, 1712, 1712, 1440, 1712}));
}

} // namespace
} // namespace tolva::test
