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

// One cell; the value -1 (or effect 0) leaves a field out.
struct ItTestCell {
    int note = -1;
    int instrument = -1;
    int volume = -1;
    char effect = 0; // 'A' .. 'Z'
    int param = 0;
};

struct ItPlacedCell {
    uint32_t row;
    uint32_t channel;
    ItTestCell cell;
};

// The effect column alone.
constexpr ItTestCell fx(char effect, int param) {
    return {-1, -1, -1, effect, param};
}

// Packs every cell with its own mask.
ItTestPattern itPattern(const std::vector<ItPlacedCell>& cells, uint16_t rows = 64);

// An 8-bit sample of `frames` frames of a rising ramp; looped over all of it when `looped`.
ItTestSample rampSample(uint32_t frames, bool looped);

} // namespace tolva::test
