#pragma once
// A stored IT pattern: its 8-byte header (packed length, row count, 4 reserved bytes) followed
// by the packed rows, as the file has them.
#include "platform/HeapArray.h"
#include <cstdint>

namespace tolva {

constexpr uint32_t ItPatternHeaderBytes = 8;
constexpr uint32_t ItChannels = 64;
constexpr uint32_t ItEmptyPatternRows = 64;

enum : uint8_t {
    ItMaskNote = 0x01,
    ItMaskInstrument = 0x02,
    ItMaskVolume = 0x04,
    ItMaskCommand = 0x08, // command and parameter
    ItMaskLastNote = 0x10,
    ItMaskLastInstrument = 0x20,
    ItMaskLastVolume = 0x40,
    ItMaskLastCommand = 0x80,
};

enum : uint8_t { ItNoteOff = 255, ItNoteCut = 254 }; // 120..253 fade the note

// Rows of a stored pattern; a missing one, or one claiming no rows, plays as 64 empty rows.
uint32_t itPatternRows(const HeapArray<uint8_t>& stored);
// Bytes of packed rows (0 for a missing pattern).
uint32_t itPackedLength(const HeapArray<uint8_t>& stored);

// What a pattern channel last read; the mask bits 0x10..0x80 take their values from here.
struct ItCellValues {
    uint8_t note = 0;
    uint8_t instrument = 0;
    uint8_t volume = 0;
    uint8_t command = 0;
    uint8_t param = 0;
};

// One channel's cell of a row: `mask` 0 when the row has none. The values are the channel's
// memory after the cell was read; the mask tells which of them belong to the cell.
struct ItCell {
    uint8_t mask = 0;
    ItCellValues values;

    bool hasNote() const { return mask & (ItMaskNote | ItMaskLastNote); }
    bool hasInstrument() const { return mask & (ItMaskInstrument | ItMaskLastInstrument); }
    bool hasVolume() const { return mask & (ItMaskVolume | ItMaskLastVolume); }
    bool hasCommand() const { return mask & (ItMaskCommand | ItMaskLastCommand); }
};

// Walks the packed rows of one pattern. Channel masks start cleared whenever a pattern is
// entered; the last values live with the caller, since channels keep them across patterns.
// Reads never go past the stored bytes: a row cut short ends where the data ends.
class ItPatternReader {
public:
    void enter(const HeapArray<uint8_t>& stored);
    // Decodes the next row into `cells` (by channel), updating `memory`. False when the
    // packed data has ended (the row is then empty).
    bool readRow(ItCell (&cells)[ItChannels], ItCellValues (&memory)[ItChannels]);

private:
    const uint8_t* data_ = nullptr;
    uint32_t size_ = 0;
    uint32_t position_ = 0;
    uint8_t lastMask_[ItChannels] = {};
};

} // namespace tolva
