#include "support/PlayerHarness.h"
#include "support/S3mBuilder.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using Periods = std::vector<int32_t>;

TEST(S3mPortamento, FineExtraFineAndPerTickSlides) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64))
                              .cell(0, 0, 0, s3mNote(4, 0, 1, 'E', 0xF2))
                              .cell(0, 1, 0, s3mFx('F', 0xE3))
                              .cell(0, 2, 0, s3mFx('F', 0x00)) // memory: extra fine again
                              .cell(0, 3, 0, s3mFx('E', 0x02))
                              .build(),
                          mixer);
    // C-4 is 1712; fine steps are 4 units, extra-fine steps 1.
    EXPECT_EQ(rowPeriods(*player), (Periods(6, 1720)));
    EXPECT_EQ(rowPeriods(*player), (Periods(6, 1717)));
    EXPECT_EQ(rowPeriods(*player), (Periods(6, 1714)));
    EXPECT_EQ(rowPeriods(*player), (Periods{1714, 1722, 1730, 1738, 1746, 1754}));
}

TEST(S3mPortamento, SlidesStopAtTheAmigaLimits) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .flags(0x10)
                              .sample(loopedSample(64))
                              .cell(0, 0, 0, s3mNote(5, 0, 1, 'F', 0x10)) // C-5: 856
                              .cell(0, 1, 0, s3mFx('F', 0x10))
                              .cell(0, 2, 0, s3mNote(3, 0, 1, 'E', 0x60)) // C-3: 3424
                              .build(),
                          mixer);
    EXPECT_EQ(rowPeriods(*player), (Periods{856, 792, 728, 664, 600, 536}));
    EXPECT_EQ(rowPeriods(*player), (Periods{536, 472, 452, 452, 452, 452}));
    EXPECT_EQ(rowPeriods(*player), (Periods(6, 3424)));
}

TEST(S3mPortamento, WithoutAmigaLimitsShortPeriodsFallSilent) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64))
                              .cell(0, 0, 0, s3mNote(7, 0, 1, 'F', 0x08)) // C-7: 214
                              .cell(0, 1, 0, s3mFx('F', 0x00))
                              .build(),
                          mixer);
    EXPECT_EQ(rowPeriods(*player), (Periods{214, 182, 150, 118, 86, 54}));
    EXPECT_TRUE(mixer.voices[0].active);
    // 54 - 32 passes the lowest period 24 and stops there; below 28 nothing sounds.
    EXPECT_EQ(rowPeriods(*player), (Periods{54, 24, 24, 24, 24, 24}));
    EXPECT_FALSE(mixer.voices[0].active);
}

TEST(S3mPortamento, TonePortamentoSlidesWithoutRestartingTheNote) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64))
                              .cell(0, 0, 0, s3mNote(4, 0, 1))
                              .cell(0, 1, 0, s3mNote(4, 2, 1, 'G', 0x10)) // D-4: 1524
                              .cell(0, 2, 0, s3mNote(4, 0, 0, 'L', 0x00))
                              .build(),
                          mixer);
    playRow(*player);
    EXPECT_EQ(rowPeriods(*player), (Periods{1712, 1648, 1584, 1524, 1524, 1524}));
    EXPECT_EQ(rowPeriods(*player), (Periods{1524, 1588, 1652, 1712, 1712, 1712}));
    EXPECT_EQ(mixer.voices[0].starts, 1u);
}

TEST(S3mPortamento, VibratoAndFineVibratoDepths) {
    RecordingMixer mixer;
    auto player = playS3m(S3mBuilder()
                              .sample(loopedSample(64))
                              .cell(0, 0, 0, s3mNote(4, 0, 1, 'H', 0x44))
                              .cell(0, 1, 0, s3mNote(4, 0, 1, 'U', 0x44))
                              .build(),
                          mixer);
    // Sine entries 0, 97, 180, 235, 255 at positions 0, 4, 8, 12, 16; depth 4 x -4 for H and
    // 4 x 1 for U, over 128.
    EXPECT_EQ(rowPeriods(*player), (Periods{1712, 1712, 1699, 1689, 1682, 1680}));
    EXPECT_EQ(rowPeriods(*player), (Periods{1712, 1712, 1715, 1717, 1719, 1719}));
}

} // namespace
} // namespace tolva::test
