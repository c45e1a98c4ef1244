#include "formats/it/ItMacros.h"

#include <algorithm>
#include <cstdio>

namespace tolva {

namespace {

constexpr uint8_t Internal = 0xF0; // F0 F0: the tracker's own message
constexpr uint8_t CutoffMessage = 0x00;
constexpr uint8_t ResonanceMessage = 0x01;
constexpr uint8_t HighestValue = 127;
constexpr uint8_t MidiStart = 0xFA;
constexpr uint8_t MidiStop = 0xFC;
constexpr uint8_t MidiReset = 0xFF;

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

int letterValue(char c, const ItMacroValues& v) {
    switch (c) {
    case 'z':
        return v.param;
    case 'n':
        return v.note;
    case 'h':
        return v.hostChannel;
    case 'v':
        return v.velocity;
    case 'u':
        return v.heard;
    case 'x':
    case 'y':
        return v.pan;
    case 'o':
        return v.offset;
    case 'c':
        return 0;
    default:
        return -1;
    }
}

// The bytes a macro text stands for: two hex digits make a byte, a letter a whole one.
uint32_t macroBytes(const char* macro, const ItMacroValues& values, uint8_t* out) {
    uint32_t count = 0;
    int pending = -1;
    for (uint32_t i = 0; i < ItMacroLength && macro[i] != '\0'; ++i) {
        const int nibble = hexValue(macro[i]);
        if (nibble >= 0) {
            if (pending < 0) {
                pending = nibble;
                continue;
            }
            out[count++] = static_cast<uint8_t>(pending << 4 | nibble);
            pending = -1;
        } else if (const int letter = letterValue(macro[i], values); letter >= 0) {
            out[count++] = static_cast<uint8_t>(letter);
            pending = -1;
        }
    }
    return count;
}

} // namespace

void setDefaultItMacros(ItMacros& out) {
    out = {};
    std::snprintf(out.parametered[0], ItMacroLength, "F0F000z");
    for (uint32_t i = 0; i < 16; ++i)
        std::snprintf(out.fixed[i], ItMacroLength, "F0F001%02X", i * 8);
}

ItFilterChange runItMacro(const char* macro, const ItMacroValues& values) {
    uint8_t bytes[ItMacroLength];
    const uint32_t count = macroBytes(macro, values, bytes);
    ItFilterChange change;
    for (uint32_t i = 0; i < count;) {
        if (i + 3 >= count || bytes[i] != Internal || bytes[i + 1] != Internal) {
            // MIDI start, stop and reset open the filter and take its resonance away.
            if (bytes[i] == MidiStart || bytes[i] == MidiStop || bytes[i] == MidiReset) {
                change.cutoff = HighestValue;
                change.resonance = 0;
            }
            ++i;
            continue;
        }
        const int16_t value = std::min<int16_t>(bytes[i + 3], HighestValue);
        if (bytes[i + 2] == CutoffMessage)
            change.cutoff = value;
        else if (bytes[i + 2] == ResonanceMessage)
            change.resonance = value;
        i += 4;
    }
    return change;
}

} // namespace tolva
