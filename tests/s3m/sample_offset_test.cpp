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
                              .cell(0, 1, 0, s3mFx('Q', 0x01))
                              .cell(0, 2, 0, s3mNote(4, 0))
                              .cell(0, 3, 0, s3mNote(4, 7))
                              .cell(0, 4, 0, s3mNote(4, 0, 1))
                              .cell(0, 5, 0, s3mNote(4, 0))
                              .cell(0, 6, 0, s3mFx('O', 0x10))
                              .cell(0, 7, 0, s3mNote(4, 0))
                              .build(),
                          mixer);
    // Retriggers do not move the start; the instrument on row 4 starts from the top again;
    // an offset without a note starts nothing.
    const std::pair<uint32_t, uint32_t> expected[] = {{0, 0x2000}, {2, 0x2000}, {3, 0x2000},
                                                      {4, 0},      {5, 0},      {7, 0}};
    uint32_t row = 0;
    for (const auto& [checkedRow, offset] : expected) {
        for (; row <= checkedRow; ++row)
            playRow(*player);
        EXPECT_EQ(mixer.voices[0].startOffset, offset) << "row " << checkedRow;
    }
}

TEST(S3mSampleOffset, PastTheLoopEndTheLoopPlays) {
    S3mSampleDef s = loopedSample(0x1000);
    s.loopStart = 0x100;
    s.loopEnd = 0x800;
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(s)
                              .cell(0, 0, 0, s3mNote(4, 0, 1, 'O', 0x04))
                              .cell(0, 1, 0, s3mNote(4, 0, 1, 'O', 0x09))
                              .build(),
                          mixer);
    playRow(*player);
    EXPECT_EQ(mixer.voices[0].startOffset, 0x400u);
    playRow(*player);
    EXPECT_TRUE(mixer.voices[0].active);
    EXPECT_EQ(mixer.voices[0].startOffset, 0x100u);
}

} // namespace
} // namespace tolva::test
