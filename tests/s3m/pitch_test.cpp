#include "formats/s3m/S3mPlayer.h"
#include "settings/Settings.h"
#include "support/S3mBuilder.h"
#include "support/ScannedSong.h"
#include "support/TickCases.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tolva::test {
namespace {

using enum Read;

const S3mCell C4 = s3mNote(4, 0, 1);

std::vector<uint8_t> line(std::vector<S3mCell> rows, uint16_t flags = 0,
                          uint16_t tracker = 0x1320) {
    return s3mLine(std::move(rows)).flags(flags).tracker(tracker).build();
}

TEST(S3mPitch, MiddleCRateScalesTheOctaveTable) {
    RecordingMixer mixer;
    S3mBuilder rates = S3mBuilder().sample(loopedSample(64, 64, 8363));
    rates.sample(loopedSample(64, 64, 16726)).sample(loopedSample(64, 64, 10000));
    auto player = playS3m(rates.build(), mixer);
    ASSERT_TRUE(player);
    Channel& ch = player->channel(0);
    // Sample, note, period.
    const std::tuple<uint32_t, uint32_t, int32_t> rows[] = {
        {0, 0x400, 1712},
        {0, 0x50B, 453},  // B-5: 907 x 32 >> 6 = 453.5, truncated as Scream Tracker does
        {1, 0x400, 856},  // twice the rate, half the period
        {2, 0x400, 1431}, // 1712 x 267616 / 10000 = 45815.9, >> 5
    };
    for (const auto& [sample, note, period] : rows) {
        ch.sample = player->sample(sample);
        EXPECT_EQ(player->noteToPeriod(ch, note), period) << sample << " " << note;
    }
    ch.sample = nullptr;
    EXPECT_EQ(player->noteToPeriod(ch, 0x400), 0);
    EXPECT_EQ(player->periodToFrequency(28, ch), 759866u);
    EXPECT_EQ(player->periodToFrequency(27, ch), 0u); // silence instead of a division

    // Saved by Impulse Tracker: whole hertz at exact pitch, periods 14317456 x 16 / Hz.
    RecordingMixer exactMixer;
    auto exact = playS3m(rates.tracker(0x3214).build(), exactMixer);
    ASSERT_TRUE(exact);
    Channel& e = exact->channel(0);
    const std::tuple<uint32_t, uint32_t, int32_t> exactRows[] = {
        {0, 0x409, 16288}, // 8363 x 2^(9/12) = 14064.97 Hz, 14064
        {1, 0x400, 13696}, // C-4 at 16726 Hz
        {2, 0x309, 27245}, // 10000 x 2^(-3/12) = 8408.96 Hz, 8408
    };
    for (const auto& [sample, note, period] : exactRows) {
        e.sample = exact->sample(sample);
        EXPECT_EQ(exact->noteToPeriod(e, note), period) << sample << " " << note;
    }
    // 14064 Hz (16288.3 sixteenths) at 44100 Hz: 0.3189 x 65536.
    EXPECT_EQ(exact->periodToFrequency(16288, e), 20900u);
    EXPECT_EQ(exact->periodToFrequency(28 * 16 - 1, e), 0u);
}

TEST(S3mPitch, NotesSamplesSlidesAndVibrato) {
    // F-4 of a sample at volume 48, a cut, a note without instrument, semitone 12 (no note),
    // a volume byte, an instrument alone.
    const auto notes =
        s3mLine({s3mNote(4, 5, 1), {254}, s3mNote(4, 0), {0x4C}, {255, 0, 50}, {255, 1}},
                loopedSample(64, 48))
            .build();
    const S3mSampleDef wide = {.data = std::vector<uint8_t>(2000), .flags = 4};
    const auto offset = s3mLine({s3mNote(4, 0, 1, 'O', 3)}, wide).build();
    const auto noRate = s3mLine({C4}, {.data = loopedSample(64).data, .middleCRate = 0}).build();
    const auto slow =
        s3mLine({s3mNote(0, 0, 1)}, {.data = loopedSample(64).data, .middleCRate = 1024});
    const auto adlib = s3mLine({C4}, {.type = 2}).build();
    S3mBuilder disabled = s3mLine({C4}).channelSetting(1, 0x81);
    disabled.column(1, {s3mNote(4, 5, 1, 'A', 2)}).column(2, {s3mNote(4, 5, 1)});
    const auto c7 = line({s3mNote(7, 0, 1, 'F', 8), s3mFx('F', 0)});
    checkTicks(
        {
            {"F-4: period 1280", notes, Step, {16622}},
            {"48 at global volume 64", notes, MixerVolume, {96}},
            {"a cut stops, a note without instrument plays", notes, Active, {1, 0, 1}, 0, 6},
            {"a cut leaves no period", notes, Period, {0}, 6},
            {"a note without instrument keeps the sample", notes, Step, {12427}, 12},
            {"no note, no start", notes, Starts, {1, 1, 2, 2, 2, 2}, 0, 6},
            {"an instrument alone resets the volume", notes, Volume, {50, 48}, 24, 6},
            // 1712 x 267616 / 7941 = 57695, >> 5 = 1802.
            {"S21", line({s3mNote(4, 0, 1, 'S', 0x21), C4}), Period, {1802, 1802}, 0, 6},
            {"S21 on the row's own note", line({s3mNote(4, 0, 1, 'S', 0x21)}), Step, {11807}},
            {"16-bit: O03 is 768 frames of 2 bytes", offset, StartOffset, {1536}},
            {"no middle-C rate", noRate, Active, {0}},
            // 1712 x 267616 / 1024 >> 1 = 223710 stops at the lowest pitch.
            {"C-0 at 1024 Hz", slow.build(), Period, {0x7FFF}},
            {"an absent sample is never chosen", adlib, Starts, {0}},
            {"a disabled channel's command does not run", disabled.build(), Speed, {6}},
            {"a disabled channel is silent", disabled.build(), Starts, {0}, 0, 1, 1},
            {"the channel after it plays", disabled.build(), Period, {1280}, 0, 1, 2},
            // C-4 1712, D#4 1440, G-4 1140; A-4 (1016) + 7 carries into the next octave: 678.
            {"J37, J00, J70",
             line({s3mNote(4, 0, 1, 'J', 0x37), s3mFx('J', 0), s3mNote(4, 9, 1, 'J', 0x70)}),
             Period,
             {1712, 1440, 1140, 1712, 1440, 1140, 1712, 1440, 1140, 1712, 1440, 1140, 1016, 678,
              1016, 1016, 678, 1016}},
            {"J around the note, not the slid pitch",
             line({s3mNote(4, 0, 1, 'E', 0xF4), s3mFx('J', 0x30)}),
             Period,
             {1728, 1712, 1440, 1712, 1712, 1440, 1712},
             5},
            // Fine steps are 4 units, extra-fine steps 1; F00 takes the extra-fine memory.
            {"EF2, FE3, F00, E02",
             line({s3mNote(4, 0, 1, 'E', 0xF2), s3mFx('F', 0xE3), s3mFx('F', 0), s3mFx('E', 2)}),
             Period,
             {1720, 1720, 1720, 1720, 1720, 1720, 1717, 1717, 1717, 1717, 1717, 1717,
              1714, 1714, 1714, 1714, 1714, 1714, 1714, 1722, 1730, 1738, 1746, 1754}},
            {"Amiga limits: C-5 up, C-3 down",
             line({s3mNote(5, 0, 1, 'F', 0x10), s3mFx('F', 0x10), s3mNote(3, 0, 1, 'E', 0x60)},
                  0x10),
             Period,
             {856, 792, 728, 664, 600, 536, 536, 472, 452, 452, 452, 452, 3424, 3424, 3424, 3424,
              3424, 3424}},
            // 54 - 32 passes the lowest period 24 and stops there; below 28 nothing sounds.
            {"C-7 up ends on 24", c7, Period, {214, 182, 150, 118, 86, 54, 54, 24, 24, 24, 24, 24}},
            {"C-7 up falls silent", c7, Active, {1, 0}, 5, 6},
            {"G to D-4 (1524) and L back",
             line({C4, s3mNote(4, 2, 1, 'G', 0x10), s3mNote(4, 0, 0, 'L', 0)}),
             Period,
             {1712, 1648, 1584, 1524, 1524, 1524, 1524, 1588, 1652, 1712, 1712, 1712},
             6},
            // E02 moves 2 x 4 sixteenths a tick; H14 at position 1: sine 24 x 4 x 4 x 16 / 128.
            {"exact pitch: E02 and H14",
             line({s3mNote(4, 9, 1, 'E', 2), s3mFx('H', 0x14)}, 0, 0x3214),
             Period,
             {16288, 16416, 16544, 16672, 16800, 16928, 16928, 16928, 16976}},
            // Scream Tracker's D00 recalls F's 01 and slides down; Schism Tracker's recalls
            // nothing. Impulse Tracker's K00 recalls D's 02.
            {"one memory",
             line({s3mNote(4, 0, 1, 'F', 1), s3mFx('D', 0)}),
             Volume,
             {64, 63, 62},
             6},
            {"memories by command",
             line({s3mNote(4, 0, 1, 'F', 1), s3mFx('D', 0)}, 0, 0x4050),
             Volume,
             {64, 64, 64},
             6},
            {"K shares D's memory",
             line({s3mNote(4, 0, 1, 'D', 2), s3mFx('J', 0x37), s3mFx('K', 0)}, 0, 0x3214),
             Volume,
             {54, 54, 52, 50},
             11},
            {"G restarts nothing", line({C4, s3mNote(4, 2, 1, 'G', 0x10)}), Starts, {1}, 11},
            // A channel without a note (never played, or cut) starts G's or L's note at its
            // pitch.
            {"G after a cut starts",
             line({C4, {254}, s3mNote(4, 2, 0, 'G', 0x10)}),
             Starts,
             {1, 1, 2},
             0,
             6},
            {"G as the first note", line({s3mNote(4, 2, 1, 'L', 0)}), Period, {1524, 1524}},
            // Sine 0, 97, 180, 235, 255 at positions 0 to 16, falling in pitch first, times
            // depth 4 x 4 for H and 4 x 1 for U, over 128 toward zero; each row's first tick
            // plays its position without moving on.
            {"H44 and U44",
             line({s3mNote(4, 0, 1, 'H', 0x44), s3mNote(4, 0, 1, 'U', 0x44)}),
             Period,
             {1712, 1712, 1724, 1734, 1741, 1743, 1712, 1712, 1715, 1717, 1719, 1719}},
            // The next row's first tick plays position 20 (sine 235) and stays there.
            {"H's first tick",
             line({s3mNote(4, 0, 1, 'H', 0x44), s3mFx('H', 0)}),
             Period,
             {1741, 1743, 1741},
             4},
        },
        playS3m);
}

// 100 bytes at 8363 Hz end within the first tick; a G note with an instrument plays them again
// on the next row, at the pitch the channel had.
TEST(S3mPitch, TonePortamentoWithAnInstrumentPlaysAnEndedSampleAgain) {
    const S3mSampleDef shortOne = {.data = std::vector<uint8_t>(100, 0xC0)};
    Settings settings;
    ScannedSong scanned =
        scanSong(s3mLine({C4, s3mNote(4, 2, 1, 'G', 0x10)}, shortOne).build(), settings);
    constexpr uint32_t RowFrames = 882 * 6;
    std::vector<int16_t> pcm(4 * RowFrames);
    scanned.session->renderFrames(2 * RowFrames, pcm.data(), nullptr);
    const auto left = [&](uint32_t frame) { return pcm[2 * frame]; };
    EXPECT_EQ(left(RowFrames / 2), 0);
    EXPECT_NE(left(RowFrames + 200), 0);
}

} // namespace
} // namespace tolva::test
