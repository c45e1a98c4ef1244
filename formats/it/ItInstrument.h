#pragma once
#include "formats/it/ItEnvelope.h"

#include <cstdint>

namespace tolva {

constexpr uint32_t ItInstrumentBytes = 550;      // the layout of compatible-with 0x200 and later
constexpr uint32_t ItOldInstrumentBytes = 554;   // the older layout
constexpr uint32_t ItOldInstrumentMinimum = 553; // a file may end before the last node value
constexpr uint32_t ItNoteCount = 120;

enum : uint8_t { ItNnaCut = 0, ItNnaContinue = 1, ItNnaNoteOff = 2, ItNnaNoteFade = 3 };
enum : uint8_t { ItDctOff = 0, ItDctNote = 1, ItDctSample = 2, ItDctInstrument = 3 };
enum : uint8_t { ItDcaCut = 0, ItDcaNoteOff = 1, ItDcaNoteFade = 2 };
enum : uint8_t { ItInstrumentPanUnused = 0x80, ItFilterValueUsed = 0x80 };

// A 26-byte name as the lists show it: NUL bytes read as spaces, 25 characters kept.
void copyItName(char* out, const uint8_t* name);

struct ItNoteMapEntry {
    uint8_t note = 0;   // note to play 0..119
    uint8_t sample = 0; // 1-based, 0 = none
};

// An instrument in the new layout; old-layout instruments are converted into it.
struct ItInstrument {
    bool present = false;
    char fileName[13] = {};
    uint8_t newNoteAction = ItNnaCut;
    uint8_t duplicateCheckType = ItDctOff;
    uint8_t duplicateCheckAction = ItDcaCut;
    uint16_t fadeOut = 0;
    int8_t pitchPanSeparation = 0; // -32..32
    uint8_t pitchPanCentre = 60;   // note 0..119
    uint8_t globalVolume = 128;    // 0..128
    uint8_t defaultPan = 32 | ItInstrumentPanUnused;
    uint8_t randomVolume = 0; // percent
    uint8_t randomPan = 0;
    uint16_t trackerVersion = 0;
    uint8_t sampleCount = 0;
    char name[26] = {};
    uint8_t filterCutoff = 0;    // bit 0x80: use
    uint8_t filterResonance = 0; // bit 0x80: use
    uint8_t midiChannel = 0;
    uint8_t midiProgram = 0;
    uint16_t midiBank = 0;
    ItNoteMapEntry noteMap[ItNoteCount] = {};
    ItEnvelope volumeEnvelope;
    ItEnvelope panEnvelope;
    ItEnvelope pitchEnvelope; // a filter envelope when its flag 0x80 is set
};

// False when the signature is not "IMPI".
bool parseItInstrument(const uint8_t* bytes, ItInstrument& out);
bool parseOldItInstrument(const uint8_t* bytes, ItInstrument& out);
// Writes the record back in the new 550-byte layout (old-layout instruments come out converted).
void writeItInstrument(const ItInstrument& instrument, uint8_t* bytes);

} // namespace tolva
