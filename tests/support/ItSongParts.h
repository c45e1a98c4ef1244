#pragma once
// Parts of IT songs for playback tests: instruments described field by field, and patterns
// written cell by cell.
#include "support/ItFileBuilder.h"

#include <cstdint>
#include <map>
#include <vector>

namespace tolva::test {

struct ItTestEnvelope {
    uint8_t flags = 0; // 0x01 on, 0x02 loop, 0x04 sustain, 0x08 carry, 0x80 filter
    std::vector<std::pair<uint16_t, int8_t>> nodes; // (tick, value)
    uint8_t loopStart = 0;
    uint8_t loopEnd = 0;
    uint8_t sustainStart = 0;
    uint8_t sustainEnd = 0;
};

struct ItTestInstrument {
    uint8_t sample = 1; // every note plays this sample, untransposed
    uint8_t newNoteAction = 0;
    uint8_t duplicateCheckType = 0;
    uint8_t duplicateCheckAction = 0;
    uint16_t fadeOut = 0;
    int8_t pitchPanSeparation = 0;
    uint8_t pitchPanCentre = 60;
    uint8_t globalVolume = 128;
    uint8_t defaultPan = 32 | 0x80;
    uint8_t randomVolume = 0;
    uint8_t randomPan = 0;
    uint8_t filterCutoff = 0;
    uint8_t filterResonance = 0;
    std::map<uint8_t, std::pair<uint8_t, uint8_t>> noteMap; // note -> (note, sample)
    ItTestEnvelope volume;
    ItTestEnvelope pan;
    ItTestEnvelope pitch;

    std::vector<uint8_t> record() const;
};

// One cell; the value -1 leaves a field out.
struct ItTestCell {
    int note = -1;
    int instrument = -1;
    int volume = -1;
    int command = -1; // 1 = A .. 26 = Z
    int param = 0;
};

// Letter of the effect column to its number.
constexpr int itCommand(char letter) {
    return letter - 'A' + 1;
}

class ItPatternWriter {
public:
    explicit ItPatternWriter(uint16_t rows = 64) : rows_(rows) {}
    ItPatternWriter& cell(uint32_t row, uint32_t channel, const ItTestCell& c);
    // Packs every cell with its own mask.
    ItTestPattern pattern() const;

private:
    uint16_t rows_;
    std::map<std::pair<uint32_t, uint32_t>, ItTestCell> cells_;
};

// An 8-bit sample of `frames` frames of a rising ramp; looped over all of it when `looped`.
ItTestSample rampSample(uint32_t frames, bool looped);

} // namespace tolva::test
