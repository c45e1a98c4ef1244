#include "support/PlayerHarness.h"
#include "support/S3mBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(S3mSampleOffset, NotesWithoutInstrumentStartWhereTheLastNoteStarted) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(0x3000, 40))
                              .cell(0, 0, 0, s3mNote(4, 0, 1, 'O', 0x20))
                              .cell(0, 1, 0, s3mNote(4, 0))
                              .cell(0, 2, 0, s3mNote(4, 7))
                              .cell(0, 3, 0, s3mNote(4, 0, 1))
                              .cell(0, 4, 0, s3mNote(4, 0))
                              .cell(0, 5, 0, s3mFx('O', 0x10))
                              .cell(0, 6, 0, s3mNote(4, 0))
                              .build(),
                          mixer);
    // The instrument on row 3 starts from the top again; an offset without a note starts nothing.
    const uint32_t expected[] = {0x2000, 0x2000, 0x2000, 0, 0, 0, 0};
    for (uint32_t row = 0; row < 7; ++row) {
        playRow(*player);
        EXPECT_EQ(mixer.voices[0].startOffset, expected[row]) << "row " << row;
    }
    EXPECT_EQ(mixer.voices[0].starts, 6u);
}

} // namespace
} // namespace tolva::test
