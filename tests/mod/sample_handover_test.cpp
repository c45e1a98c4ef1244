// How the Amiga trackers hand a channel's sound from one sample to the next: ProTracker's
// instrument number without a note, and Soundtracker's looped samples.
#include "settings/Settings.h"
#include "support/ModBuilder.h"
#include "support/ScannedSong.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

constexpr uint32_t RowFrames = 882 * 6;

ModSampleDef level(int8_t value, uint32_t loopStart, uint32_t loopLength) {
    return {"", std::vector<int8_t>(32, value), 64, 0, loopStart, loopLength};
}

// The sign of the left channel (MOD channel 0) at each of `frames`.
std::vector<int> leftSigns(const std::vector<uint8_t>& song, const std::vector<uint32_t>& frames) {
    Settings settings;
    ScannedSong scanned = scanSong(song, settings);
    const uint32_t pairs = frames.back() / 2 + 1; // the mixer renders frames in pairs
    std::vector<int16_t> pcm(pairs * 4);
    scanned.session->renderFrames(pairs * 2, pcm.data(), nullptr);
    std::vector<int> out;
    for (uint32_t f : frames)
        out.push_back((pcm[f * 2] > 0) - (pcm[f * 2] < 0));
    return out;
}

// Halfway through each of the first rows.
const std::vector<uint32_t> midRows = {RowFrames / 2, RowFrames * 3 / 2, RowFrames * 5 / 2,
                                       RowFrames * 7 / 2};

TEST(SampleHandover, InstrumentWithoutNoteTakesOverAtTheLoop) {
    // Samples: 1 loops +64, 2 loops -64, 3 holds +64 without a loop, 4 has no data.
    ModBuilder song;
    song.sample(level(64, 0, 32)).sample(level(-64, 0, 32)).sample(level(64, 0, 0));
    song.sample({}).cell(0, 0, 0, note(25, 1));
    song.cell(0, 1, 0, {0, 2}).cell(0, 2, 0, {0, 3}).cell(0, 3, 0, {0, 4});
    // Row 1: the loop of sample 2 once the playing loop ends; row 2: a sample without a loop
    // silences the channel; row 3: a stopped channel stays silent.
    EXPECT_EQ(leftSigns(song.build(), midRows), (std::vector<int>{1, -1, 0, 0}));
    // A long loop hands over at its end only: 2048 bytes at 0.188 a frame end at frame 10899,
    // after row 2 has begun.
    ModBuilder longLoop;
    longLoop.sample({"", std::vector<int8_t>(2048, 64), 64, 0, 0, 2048}).sample(level(-64, 0, 32));
    longLoop.cell(0, 0, 0, note(25, 1)).cell(0, 1, 0, {0, 2});
    EXPECT_EQ(leftSigns(longLoop.build(), {RowFrames * 3 / 2, RowFrames * 2 + 100, RowFrames * 3}),
              (std::vector<int>{1, 1, -1}));
    // With tone portamento the sample is handed over the same way.
    ModBuilder porta;
    porta.sample(level(64, 0, 32)).sample(level(-64, 0, 32)).cell(0, 0, 0, note(25, 1));
    porta.cell(0, 1, 0, note(37, 2, 0x3, 0x01));
    EXPECT_EQ(leftSigns(porta.build(), {RowFrames / 2, RowFrames * 3 / 2}),
              (std::vector<int>{1, -1}));
}

TEST(SampleHandover, SoundtrackerPlaysOnlyTheLoopAndCountsItsStartInBytes) {
    // Bytes 0..15 hold +64, bytes 16..31 -64; the header's loop start word is 8 for ProTracker
    // (words: byte 16) and 16 for Soundtracker (bytes). 40 output frames are some 7 sample
    // frames in: ProTracker is still in the +64 half, Soundtracker started at the loop.
    ModSampleDef s = level(64, 16, 16);
    std::fill(s.data.begin() + 16, s.data.end(), -64);
    const auto song = ModBuilder().sample(s).cell(0, 0, 0, note(25, 1)).build();
    EXPECT_EQ(leftSigns(song, {40, RowFrames / 2}), (std::vector<int>{1, -1}));
    s.loopStart = 32;
    const auto old = ModBuilder(4, "").sample(s).cell(0, 0, 0, note(25, 1)).build();
    EXPECT_EQ(leftSigns(old, {40, RowFrames / 2}), (std::vector<int>{-1, -1}));
}

} // namespace
} // namespace tolva::test
