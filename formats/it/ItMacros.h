#pragma once
#include <cstdint>

namespace tolva {

constexpr uint32_t ItMacroLength = 32;
constexpr uint32_t ItParameteredMacros = 16;
constexpr uint32_t ItFixedMacros = 128;

// Impulse Tracker's MIDI macros: SFx picks one of the parametered ones, which Z00-Z7F run with
// their parameter; Z80-ZFF each run a fixed one. Texts hold hex digits and value letters.
struct ItMacros {
    char parametered[ItParameteredMacros][ItMacroLength] = {};
    char fixed[ItFixedMacros][ItMacroLength] = {};
};

// The tracker's own set, for files that carry none: SF0 sets the cutoff, Z80-Z8F the
// resonance in steps of 8.
void setDefaultItMacros(ItMacros& out);

// What a macro's letters stand for when it runs.
struct ItMacroValues {
    uint8_t param = 0;       // z: the Z parameter
    uint8_t note = 0;        // n: the channel's last note
    uint8_t hostChannel = 0; // h: the pattern channel
    uint8_t velocity = 0;    // v: the note's volume, 0..127
    uint8_t heard = 0;       // u: the volume the channel sounds at, all levels applied, 0..127
    uint8_t pan = 0;         // x, y: 0..127
    uint8_t offset = 0;      // o: the last O parameter
};

// The filter settings a macro sends through the tracker's own messages (F0 F0 00 cutoff,
// F0 F0 01 resonance); -1 where it sends none. MIDI start, stop and reset (FA, FC, FF) open
// the filter without resonance; other MIDI messages have nothing to play.
struct ItFilterChange {
    int16_t cutoff = -1;
    int16_t resonance = -1;
};

ItFilterChange runItMacro(const char* macro, const ItMacroValues& values);

} // namespace tolva
