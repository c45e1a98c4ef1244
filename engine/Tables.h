#pragma once
#include "engine/Random.h"

#include <cstdint>

namespace tolva {

constexpr uint32_t WaveformLength = 64;
constexpr uint32_t PeriodTableLength = 96;

// Vibrato and tremolo waveforms, selected by the low two bits of the waveform commands.
extern const int16_t sineTable[WaveformLength];
extern const int16_t rampTable[WaveformLength];
extern const int16_t squareTable[WaveformLength];
// Its first entry is RandomWaveMarker; a channel on it draws every value from the song's
// generator.
extern const int16_t randomTable[WaveformLength];
extern const int16_t* const waveformTables[4];
constexpr int16_t RandomWaveMarker = 0xABC;

// Amiga periods of notes 1..96 (note n uses entry n - 1).
extern const uint16_t periodTable[PeriodTableLength];

// Per finetune nibble: 2^31 x 2^(-k/96), k the signed nibble.
extern const uint32_t finetuneMultipliers[16];

// One waveform value: the table entry, or a random one for the random table.
int32_t waveformValue(const int16_t* table, uint32_t position, Random& random);

} // namespace tolva
