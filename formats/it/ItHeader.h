#pragma once
#include <cstdint>

namespace tolva {

constexpr uint32_t ItHeaderSize = 192;
constexpr uint32_t ItListOffset = 0xC0; // orders, then instrument, sample and pattern offsets

enum : uint16_t {
    ItStereo = 0x01, // mono songs play every voice in the middle
    ItInstrumentMode = 0x04,
    ItLinearSlides = 0x08,
    ItOldEffects = 0x10,
    ItCompatibleTonePortamento = 0x20,
};

// Bits of the header's special word.
enum : uint16_t {
    ItSpecialEditHistory = 0x02,
    ItSpecialMacros = 0x08,
};

enum : uint8_t {
    ItChannelSurround = 100,  // channel pan value
    ItChannelDisabled = 0x80, // channel pan bit
};

// The 192-byte file header, field by field.
struct ItHeader {
    char signature[4] = {};
    char songName[26] = {};
    uint16_t rowHighlight = 0;
    uint16_t orderCount = 0;
    uint16_t instrumentCount = 0;
    uint16_t sampleCount = 0;
    uint16_t patternCount = 0;
    uint16_t createdWith = 0;
    uint16_t compatibleWith = 0; // 0x200 and later: instruments in the new layout
    uint16_t flags = 0;
    uint16_t special = 0;     // bit 0x01: a song message is present
    uint8_t globalVolume = 0; // 0..128
    uint8_t mixVolume = 0;
    uint8_t initialSpeed = 0;
    uint8_t initialTempo = 0;
    uint8_t panSeparation = 0;
    uint8_t pitchWheelDepth = 0;
    uint16_t messageLength = 0;
    uint32_t messageOffset = 0;
    uint8_t channelPan[64] = {};    // 0..64, 100 surround, bit 0x80 disabled
    uint8_t channelVolume[64] = {}; // 0..64

    // File offsets of the three offset tables that follow the order list.
    uint32_t instrumentTableOffset() const { return ItListOffset + orderCount; }
    uint32_t sampleTableOffset() const { return instrumentTableOffset() + 4u * instrumentCount; }
    uint32_t patternTableOffset() const { return sampleTableOffset() + 4u * sampleCount; }
    // ModPlug Tracker writes its own version word, or Impulse Tracker 2.17's with 2.00 as the
    // version it is compatible with; it plays some commands by its own rules.
    bool fromModPlug() const {
        return createdWith == 0x0888 || (createdWith == 0x0217 && compatibleWith == 0x0200);
    }
};

void parseItHeader(const uint8_t* bytes, ItHeader& out);

} // namespace tolva
