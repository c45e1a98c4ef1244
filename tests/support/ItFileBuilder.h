#pragma once
// Builds IT files in memory: header, order list, offset tables, message, instruments,
// sample headers with their data, and patterns, laid out one after another.
#include <cstdint>
#include <string>
#include <vector>

namespace tolva::test {

struct ItTestSample {
    std::string name = "sample";
    uint8_t flags = 0x01;
    uint8_t convert = 0x01;
    uint32_t frames = 0;
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0;
    uint32_t sustainStart = 0;
    uint32_t sustainEnd = 0;
    uint32_t rate = 8363;
    uint8_t volume = 64;
    uint8_t globalVolume = 64;
    uint8_t defaultPan = 32;
    uint8_t vibrato[4] = {0, 0, 0, 0}; // speed, depth, rate, waveform
    std::vector<uint8_t> data;         // the bytes as the file stores them
};

struct ItTestPattern {
    uint16_t rows = 64;
    std::vector<uint8_t> packed;
    bool absent = false; // offset 0
};

struct ItFileBuilder {
    std::string title = "test song";
    uint16_t createdWith = 0x0214;
    uint16_t compatibleWith = 0x0214;
    uint16_t flags = 0x0001;
    uint8_t globalVolume = 128;
    uint8_t mixVolume = 48;
    uint8_t speed = 6;
    uint8_t tempo = 125;
    uint8_t panSeparation = 128;
    uint8_t channelPan[64];
    uint8_t channelVolume[64];
    std::vector<uint8_t> orders = {0, 255};
    std::vector<ItTestPattern> patterns = {ItTestPattern{}};
    std::vector<ItTestSample> samples;
    std::vector<std::vector<uint8_t>> instruments; // raw records, 550 or 554 bytes
    std::string message;                           // empty: no message

    ItFileBuilder();
    std::vector<uint8_t> build() const;
};

// A new-layout instrument record whose note map plays every note with `sample`; `old` gives
// the 554-byte layout.
std::vector<uint8_t> itInstrumentRecord(const std::string& name, uint8_t sample, bool old = false);

void putWord(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value);
void putLong(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value);

} // namespace tolva::test
