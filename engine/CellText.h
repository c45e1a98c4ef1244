#pragma once
// The tracker notation of a stored pattern cell, as the pattern view shows it.
#include <cstdint>

namespace tolva {

constexpr uint32_t CellTextCapacity = 16;

struct CellText {
    char text[CellTextCapacity] = {};

    void clear() { text[0] = 0; }
    void append(const char* more);
    void appendNote(uint32_t note);
    // One number through a printf format such as " %02X".
    void appendNumber(const char* format, uint32_t value);
};

// Three characters for note number n (0 = C-0); 120 and above is "---".
void writeNoteName(uint32_t note, char* out);

// Note (1-based, 0 none), sample and effect the ProTracker way, shared by the formats that
// store ProTracker cells.
void writeProTrackerCell(CellText& cell, uint32_t note, uint32_t sample, uint32_t effect,
                         uint32_t param);

} // namespace tolva
