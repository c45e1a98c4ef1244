#pragma once
// Builds IT files in memory, each part laid out right after the one before.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tolva::test {

struct ItTestSample {
    std::string name = "sample";
    uint8_t flags = 0x01;
    uint8_t convert = 0x01;
    uint32_t frames = 0, loopStart = 0, loopEnd = 0, sustainStart = 0, sustainEnd = 0;
    uint32_t rate = 8363;
    uint8_t volume = 64, globalVolume = 64, defaultPan = 32;
    std::array<uint8_t, 4> vibrato = {}; // speed, depth, rate, waveform
    std::vector<uint8_t> data = {}; // as the file stores them; left empty, bytes counting from 0
};

struct ItTestPattern {
    uint16_t rows = 64;
    std::vector<uint8_t> packed;
    bool absent = false; // offset 0
};

struct ItFileBuilder {
    std::string title = "test song";
    uint16_t createdWith = 0x0214, compatibleWith = 0x0214, flags = 0x0001;
    uint8_t globalVolume = 128, mixVolume = 48, speed = 6, tempo = 125, panSeparation = 128;
    uint8_t channelPan[64], channelVolume[64];
    std::vector<uint8_t> orders = {0, 255};
    std::vector<ItTestPattern> patterns = {ItTestPattern{}};
    std::vector<ItTestSample> samples;
    std::vector<std::vector<uint8_t>> instruments; // raw records, 550 or 554 bytes
    std::string message;                           // empty: no message
    // MIDI macros by slot: 0-15 those SFx picks, 16 + n that of Z(80 + n). With any, the file
    // carries its own set, the others empty.
    std::vector<std::pair<uint32_t, std::string>> macros;

    ItFileBuilder();
    std::vector<uint8_t> build() const;
};

// A new-layout instrument record (old: the 554-byte one) playing every note with `sample`.
std::vector<uint8_t> itInstrumentRecord(const std::string& name, uint8_t sample, bool old = false);

void putWord(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value);
void putLong(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value);
void putBytes(std::vector<uint8_t>& bytes, std::size_t at, const std::vector<uint8_t>& values);

struct ItTestEnvelope {
    uint8_t flags = 0; // 0x01 on, 0x02 loop, 0x04 sustain, 0x08 carry, 0x80 filter
    std::vector<std::pair<uint16_t, int8_t>> nodes; // (tick, value)
    uint8_t loopStart = 0, loopEnd = 0, sustainStart = 0, sustainEnd = 0;
};

struct ItTestInstrument {
    uint8_t sample = 1; // every note plays this sample, untransposed
    uint8_t newNoteAction = 0, duplicateCheckType = 0, duplicateCheckAction = 0;
    uint16_t fadeOut = 0;
    int8_t pitchPanSeparation = 0;
    uint8_t globalVolume = 128, defaultPan = 32 | 0x80, randomVolume = 0, randomPan = 0;
    uint8_t filterCutoff = 0, filterResonance = 0;
    std::map<uint8_t, std::pair<uint8_t, uint8_t>> noteMap = {}; // note -> (note, sample)
    ItTestEnvelope volume = {}, pan = {}, pitch = {};

    std::vector<uint8_t> record() const;
};

// One cell; the value -1 (or effect 0) leaves a field out.
struct ItTestCell {
    int note = -1, instrument = -1, volume = -1;
    char effect = 0; // 'A' .. 'Z'
    int param = 0;
};

struct ItPlacedCell {
    uint32_t row, channel;
    ItTestCell cell;
};

// Cells from text, tracker style: rows apart by ',', channels within a row by '|'. In a cell a
// first number is the note and a second the instrument; "iN" is an instrument alone, "vN" the
// volume column, and a capital letter with two hex digits the effect ("60 1 v32 D04, D00").
std::vector<ItPlacedCell> itRows(const std::string& text);

// Packs every cell with its own mask.
ItTestPattern itPattern(const std::vector<ItPlacedCell>& cells, uint16_t rows = 64);

// An 8-bit rising ramp of `frames` frames (the builder's own bytes), looped over all if asked.
ItTestSample rampSample(uint32_t frames, bool looped);

// (value, width) codes packed least significant bit first.
using ItCodes = std::vector<std::pair<uint32_t, uint32_t>>;
std::vector<uint8_t> packBits(const ItCodes& codes);

// Blocks of 0x8000 (8-bit) or 0x4000 (16-bit) values, each behind its length word, every code
// at the top width (9 or 17 bits).
std::vector<uint8_t> encodeItSample(const std::vector<int32_t>& values, bool sixteenBit,
                                    bool doubleDelta);

} // namespace tolva::test
