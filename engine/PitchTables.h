#pragma once
// Tables of the players with linear frequency slides and instrument auto-vibrato (XM and IT).
#include <array>
#include <cstdint>

namespace tolva {

constexpr uint32_t PitchTableLength = 768;
constexpr uint32_t AutoVibratoLength = 256;
constexpr uint32_t AutoVibratoWaveformCount = 4;

// 65536 x 2^(i/768), 16.16 fixed point: one octave in steps of 1/64 semitone, the unit of the
// linear periods, so that every period sounds at its own pitch.
using PitchTable = std::array<uint32_t, PitchTableLength>;
extern const PitchTable pitchTable;

// Sine, square, ramp down and ramp up, 256 entries of -511..511 each; waveform w starts at
// index w x 256.
using AutoVibratoTable = std::array<int32_t, AutoVibratoWaveformCount * AutoVibratoLength>;
extern const AutoVibratoTable autoVibratoWaveforms;

// Mixer step (16.16 source frames per output frame) of a note at linear pitch x, counted in
// 768 units per octave above the pitch at which the sample plays at `rate` Hz. 0 when the step
// does not fit (or no mixing rate is set).
uint32_t linearStep(int32_t x, uint32_t rate, uint32_t mixingRate);

} // namespace tolva
