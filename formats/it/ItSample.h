#pragma once
#include "song/Sample.h"

#include <cstdint>

namespace tolva {

constexpr uint32_t ItSampleHeaderBytes = 80;

// IT sample flag bits; an ItSample's `flags` holds these, not the base meanings.
enum : uint8_t {
    ItSampleHasData = 0x01,
    ItSample16Bit = 0x02,
    ItSampleStereo = 0x04,
    ItSampleCompressed = 0x08,
    ItSampleLoop = 0x10,
    ItSampleSustainLoop = 0x20,
    ItSamplePingPong = 0x40,
    ItSampleSustainPingPong = 0x80,
};

enum : uint8_t {
    ItConvertSigned = 0x01,
    ItConvertDoubleDelta = 0x04, // compressed data is integrated twice
    ItConvertAdpcm = 0xFF,       // ModPlug's 4-bit ADPCM
};

enum : uint8_t { ItSamplePanUsed = 0x80 };

// Lengths and loop points are in bytes: frames x (1 or 2 bytes) x (1 or 2 channels).
struct ItSample : Sample {
    uint32_t middleCRate = 0; // Hz at C-5
    uint32_t sustainLoopStart = 0;
    uint32_t sustainLoopEnd = 0;
    uint8_t vibratoSpeed = 0;    // 0..64
    uint8_t vibratoDepth = 0;    // 0..64
    uint8_t vibratoRate = 0;     // 0..64
    uint8_t vibratoWaveform = 0; // low two bits select the table
    uint8_t globalVolume = 0;    // 0..64
    uint8_t defaultPan = 0;      // 0..64, bit 0x80: use it
    bool signedData = false;
    char fileName[13] = {};

    uint32_t frameBytes() const {
        return (flags & ItSample16Bit ? 2u : 1u) * (flags & ItSampleStereo ? 2u : 1u);
    }
};

} // namespace tolva
