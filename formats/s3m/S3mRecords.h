#pragma once
// The fixed-size records of an S3M file, decoded from their little-endian bytes.
#include "song/ByteOrder.h"

#include <cstdint>
#include <cstring>

namespace tolva {

struct S3mFileHeader {
    static constexpr uint32_t Size = 96;
    static constexpr uint32_t TitleLength = 28;
    static constexpr uint8_t ModuleType = 16;

    uint8_t title[TitleLength];
    uint8_t fileType;
    uint32_t orderCount;
    uint32_t instrumentCount;
    uint32_t patternCount;
    uint16_t flags;
    uint16_t trackerVersion; // high nibble: 1 Scream Tracker, 3 Impulse Tracker, ...
    uint32_t sampleFormat;   // 1: signed data
    bool signature;          // "SCRM"
    uint8_t globalVolume;
    uint8_t initialSpeed;
    uint8_t initialTempo;
    uint8_t masterVolume; // bit 7: stereo
    uint8_t channelSettings[32];

    explicit S3mFileHeader(const uint8_t* b)
        : fileType(b[0x1D]), orderCount(readLe16(b + 0x20)), instrumentCount(readLe16(b + 0x22)),
          patternCount(readLe16(b + 0x24)), flags(readLe16(b + 0x26)),
          trackerVersion(readLe16(b + 0x28)), sampleFormat(readLe16(b + 0x2A)),
          signature(std::memcmp(b + 0x2C, "SCRM", 4) == 0), globalVolume(b[0x30]),
          initialSpeed(b[0x31]), initialTempo(b[0x32]), masterVolume(b[0x33]) {
        std::memcpy(title, b, TitleLength);
        std::memcpy(channelSettings, b + 0x40, sizeof channelSettings);
    }
};

struct S3mInstrumentHeader {
    static constexpr uint32_t Size = 80;
    static constexpr uint8_t DigitalSample = 1;
    static constexpr uint32_t FileNameLength = 13; // the DOS name and the byte after it
    static constexpr uint32_t NameLength = 28;
    static constexpr uint8_t ModPlugAdpcm = 4; // packing of 8-bit mono data ModPlug Tracker saved

    uint8_t type;
    uint8_t fileName[FileNameLength];
    uint32_t dataParapointer; // 24 bits, the high byte first
    uint32_t length;          // frames
    uint32_t loopStart;
    uint32_t loopEnd;
    uint8_t volume;
    uint8_t packing;
    uint8_t flags; // bit 0 loop, bit 1 stereo, bit 2 16-bit
    uint32_t middleCRate;
    uint8_t name[NameLength];
    bool signature; // "SCRS"

    explicit S3mInstrumentHeader(const uint8_t* b)
        : type(b[0]), dataParapointer(uint32_t{b[0x0D]} << 16 | readLe16(b + 0x0E)),
          length(readLe32(b + 0x10)), loopStart(readLe32(b + 0x14)), loopEnd(readLe32(b + 0x18)),
          volume(b[0x1C]), packing(b[0x1E]), flags(b[0x1F]), middleCRate(readLe32(b + 0x20)),
          signature(std::memcmp(b + 0x4C, "SCRS", 4) == 0) {
        std::memcpy(fileName, b + 0x01, FileNameLength);
        std::memcpy(name, b + 0x30, NameLength);
    }
};

enum : uint8_t {
    S3mInstrumentLoop = 0x01,
    S3mInstrumentStereo = 0x02,
    S3mInstrument16Bit = 0x04,
};

} // namespace tolva
