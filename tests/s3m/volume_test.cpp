#include "formats/s3m/S3mPlayer.h"
#include "support/S3mBuilder.h"
#include "support/TickCases.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

using enum Read;

// `rows` with a C-4 at `volume` added to the first.
std::vector<uint8_t> slid(uint16_t flags, uint8_t volume, std::vector<S3mCell> rows) {
    rows[0] = {0x40, 1, volume, rows[0].command, rows[0].param};
    return s3mLine(std::move(rows)).flags(flags).build();
}

TEST(S3mVolume, SlidesGlobalVolumeAndPanning) {
    S3mBuilder twice = S3mBuilder().globalVolume(48).sample(loopedSample(64, 40));
    twice.column(0, {s3mNote(4, 0, 1), {}, s3mFx('V', 0x50)});
    const auto global = twice.column(1, {s3mNote(4, 0, 1), s3mFx('V', 0x20)}).build();
    const auto e00 = slid(0, 40, {s3mFx('D', 3), s3mFx('D', 0), s3mFx('E', 0)});
    const auto combined = slid(
        S3mFastVolumeSlides, 40,
        {s3mFx('H', 0x44), s3mFx('K', 0x04), s3mFx('K', 0xF1), s3mFx('L', 0x20), s3mFx('L', 0x0F)});
    const auto tremor =
        s3mLine({s3mNote(4, 0, 1, 'I', 0x21), s3mFx('I', 0), s3mFx('I', 2)}, loopedSample(64, 30));
    // Pan byte 0x2A: 10 x 17. X runs from 00 (left) to 80 (right); beyond 80 sets nothing.
    const auto song = [](bool stereo) {
        S3mBuilder b = S3mBuilder(2).stereo(stereo).panByte(1, 0x2A).sample(loopedSample(64));
        b.column(0, {s3mNote(4, 0, 1), s3mFx('X', 0x40), s3mFx('X', 0x80)});
        return b.column(1, {s3mNote(4, 0, 1), s3mFx('S', 0x8F), s3mFx('X', 0xA4)}).build();
    };
    checkTicks(
        {
            {"D: normal, fine and every-tick forms",
             slid(0, 32,
                  {s3mFx('D', 0x04), s3mFx('D', 0x40), s3mFx('D', 0xF2), s3mFx('D', 0x2F),
                   s3mFx('D', 0x0F), s3mFx('D', 0xF0), s3mFx('D', 0x23), s3mFx('D', 0xFF)}),
             Volume,
             {32, 28, 24, 20, 16, 12, 12, 16, 20, 24, 28, 32, 30, 30, 30, 30,
              30, 30, 32, 32, 32, 32, 32, 32, 17, 2,  0,  0,  0,  0,  15, 30,
              45, 60, 64, 64, 64, 61, 58, 55, 52, 49, 64, 64, 64, 64, 64, 64}},
            {"fast slides step on the first tick too",
             slid(S3mFastVolumeSlides, 40, {s3mFx('D', 4), s3mFx('D', 0xF1), s3mFx('D', 0xF0)}),
             Volume,
             {36, 32, 28, 24, 20, 16, 15, 15, 15, 15, 15, 15, 30, 45, 60, 64, 64, 64}},
            {"K and L slide as D but for the fast step; x0F steps at once too",
             combined,
             Volume,
             {40, 36, 32, 28, 24, 20, 19, 19, 19, 19, 19, 19,
              19, 21, 23, 25, 27, 29, 14, 0,  0,  0,  0,  0},
             6},
            // H44's positions go on from 20 by 4 a tick: 36 and 56 end the rows, sine -97 and
            // -180 x 4 x 4 / 128, rising in pitch in the waveform's second half.
            {"the vibrato goes on under K04 and KF1", combined, VibratoOffset, {-12, -22}, 11, 6},
            {"D00 takes D's memory", e00, Volume, {25, 10}, 5, 6},
            // Down by 3 x 4 a tick.
            {"E00 takes D's memory", e00, Period, {1772}, 17},
            {"64 x 48 x 40 >> 11, V20, V50 limited", global, MixerVolume, {60, 40, 80}, 5, 6},
            {"V20 reaches every channel", global, MixerVolume, {40}, 11, 1, 1},
            {"V50 limited", global, GlobalVolume, {32, 64}, 11, 6},
            // I21: three ticks audible, two muted; I02: one audible, three muted.
            {"I21, I00, I02",
             tremor.build(),
             MixerVolume,
             {60, 60, 60, 0, 0, 60, 60, 60, 60, 0, 0, 60, 60, 0, 0, 0, 60, 0}},
            {"I keeps the volume", tremor.build(), Volume, {30}, 5},
            {"setting 0: left, then X40, X80", song(true), MixerPanning, {0x30, 0x80, 0xFF}, 5, 6},
            {"pan byte, then S8F, XA4", song(true), MixerPanning, {0xAA, 0xF0, 0xF0}, 5, 6, 1},
            {"mono keeps the command", song(false), Panning, {0xF0}, 11, 1, 1},
            {"mono output centred", song(false), MixerPanning, {0x80, 0x80, 0x80}, 5, 6, 1},
        },
        playS3m);
}

} // namespace
} // namespace tolva::test
