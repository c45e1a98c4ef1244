#pragma once
// A song of pure tones for measuring how the interpolation modes resample, and the spectrum
// reading that measures them. The tool that compares them with other players uses both.
#include <cstdint>
#include <vector>

namespace tolva::test {

// The sine samples' rate and the note's: two octaves above (C-7 on samples whose C-5 is
// 48000 Hz), so each sample frame is played at 192000 Hz, 4.354 frames a frame at 44100 Hz.
constexpr double SinePlayedRate = 192000;
// An IT song of one channel: a looped 16-bit sine of 32 frames a cycle at half full scale
// from row 0 (a 6000 Hz tone) and one of 8 frames a cycle from row 32 (24000 Hz, above the
// half rate of 44100 Hz output), each for 32 rows of 0.12 s.
std::vector<uint8_t> sineSong();
constexpr double SineSecondToneSeconds = 3.84;
constexpr double SineToneHz[2] = {SinePlayedRate / 32, SinePlayedRate / 8};

// The amplitude of the component at `hz` in `frames` values from `signal` (mono, or the left of
// interleaved stereo when `stride` is 2) at `rate`, by a Blackman-Harris windowed transform: 1
// for a sine of full scale.
double toneLevel(const float* signal, uint32_t frames, uint32_t stride, double rate, double hz);

// The frequency of the strongest component within 3 % of `hz`: players tune notes each in
// their own way.
double findTone(const float* signal, uint32_t frames, uint32_t stride, double rate, double hz);

// Where a sampled tone at `toneHz`, played at `playedRate` and resampled to `rate`, folds its
// images k x playedRate +- toneHz for k = 1..orders into [0, rate / 2].
std::vector<double> imageFrequencies(double toneHz, double playedRate, double rate, int orders);

double decibels(double ratio);

} // namespace tolva::test
