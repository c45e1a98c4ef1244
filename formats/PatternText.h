#pragma once
// The tracker notation of stored pattern cells, one text per cell, for the pattern view of
// the information dialog. Each format family reads its own cell encoding.
#include "engine/Descriptions.h"

#include <cstdint>

namespace tolva {

constexpr uint32_t CellTextCapacity = 16;

struct CellText {
    char text[CellTextCapacity] = {};
};

// Three characters for note number n (0 = C-0); 120 and above is "---".
void writeNoteName(uint32_t note, char* out);

// The text of every cell of `pattern`: out[row * channelCount + column] for rows 0..rows-1.
// `columnChannel` names the stored channel that each column shows (null: column c shows
// channel c); only S3M songs store channels that are not played. False for a format type
// without a formatter; then nothing is written.
bool writePatternText(uint32_t formatType, const PatternDescription& pattern, uint32_t channelCount,
                      const uint8_t* columnChannel, CellText* out);

} // namespace tolva
