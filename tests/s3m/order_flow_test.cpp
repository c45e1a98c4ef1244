#include "support/S3mBuilder.h"
#include "support/TickCases.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using enum Read;

S3mBuilder song(std::vector<uint8_t> orders = {0}) {
    return S3mBuilder().sample(loopedSample(64, 40)).orders(std::move(orders));
}

TEST(S3mOrderFlow, RowOrder) {
    const S3mCell A1 = s3mFx('A', 1);
    S3mBuilder loops = song();
    loops.cell(0, 8, 0, s3mFx('S', 0xB0)).cell(0, 15, 0, s3mFx('S', 0xB2));
    checkTraces(
        {
            // C62 leads onto the end marker.
            {"skip markers are passed, end markers end",
             song({254, 0, 254, 254, 1, 255, 2})
                 .column(0, {A1})
                 .cell(1, 0, 0, s3mFx('C', 0x62))
                 .cell(2, 0, 0, A1)
                 .build(),
             spans({{1, 0, 63}, {4, 0, 0}})},
            {"B2 with C12 beside it, B beyond the order list ignored",
             song({0, 1, 2})
                 .column(0, {{}, s3mFx('B', 2)})
                 .column(1, {{}, s3mFx('C', 0x12)})
                 .cell(2, 13, 0, s3mFx('B', 9))
                 .build(),
             spans({{0, 0, 1}, {2, 12, 63}})},
            {"SB0, SB2, SB1", loops.cell(0, 20, 0, s3mFx('S', 0xB1)).build(),
             spans({{0, 0, 15}, {0, 8, 15}, {0, 8, 15}, {0, 16, 20}, {0, 16, 63}})},
            {"SE2 repeats the row", song().column(1, {{}, s3mFx('S', 0xE2)}).build(),
             spans({{0, 0, 1}, {0, 1, 1}, {0, 1, 1}, {0, 2, 63}})},
        },
        playS3m);
}

TEST(S3mOrderFlow, SpeedTempoAndRepeatedRows) {
    // A03 on row 0 already makes that row three ticks long; T below 0x20 sets the speed.
    const auto timing = song()
                            .tempo(200)
                            .column(0, {s3mFx('A', 3), s3mFx('A', 0), s3mFx('T', 0x20),
                                        s3mFx('T', 0x1F), s3mFx('T', 0xFF)})
                            .build();
    const auto repeated = song()
                              .column(0, {s3mNote(4, 0, 1), s3mFx('D', 2)})
                              .column(1, {{}, s3mFx('S', 0xE2)})
                              .build();
    checkTicks(
        {
            {"5 x 44100 / (2 x 200), even", timing, TickInterval, {550}},
            {"A03, A00 changes nothing, T1F", timing, Speed, {3, 3, 3, 31}, 0, 3},
            {"T20 on tick 6", timing, Tempo, {200, 32}, 5},
            {"T20", timing, TickInterval, {3444}, 6},
            {"TFF after 31 ticks of row 3", timing, Tempo, {32, 255}, 39},
            {"TFF", timing, TickInterval, {432}, 40},
            {"SE2 repeats the row's effects", repeated, Volume, {40, 30, 20, 10}, 5, 6},
        },
        playS3m);
}

} // namespace
} // namespace tolva::test
