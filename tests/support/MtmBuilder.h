#pragma once
// Writes MultiTracker files from a compact description, for tests that build the song they play.
#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace tolva::test {

struct MtmCell {
    uint8_t note = 0; // 2..64 (the file cannot hold note 1), 0 = none
    uint8_t instrument = 0;
    uint8_t effect = 0;
    uint8_t param = 0;
};

// A cell playing note n (2..64, the period-table note) with instrument and effect.
MtmCell mtmNote(uint32_t n, uint8_t instrument = 0, uint8_t effect = 0, uint8_t param = 0);
// A cell with only an effect.
MtmCell mtmFx(uint8_t effect, uint8_t param);

struct MtmSampleDef {
    std::string name;
    std::vector<uint8_t> data; // unsigned PCM as stored
    uint32_t loopStart = 0;    // bytes
    uint32_t loopEnd = 0;      // bytes
    uint8_t finetune = 0;      // the header byte
    uint8_t volume = 64;
    bool sixteenBit = false;
};

// `length` bytes of an unsigned square wave, looped over its whole length.
MtmSampleDef mtmSquare(uint32_t length, uint8_t volume = 64);

class MtmBuilder {
public:
    MtmBuilder& title(std::string text);
    MtmBuilder& rowsPerTrack(uint8_t rows);
    MtmBuilder& channels(uint8_t count); // the header's channel count, 32 unless given
    MtmBuilder& panning(uint32_t slot, uint8_t position); // 0..15
    MtmBuilder& sample(MtmSampleDef def);
    MtmBuilder& orders(std::vector<uint8_t> list);
    // Cell of track `track` (1-based); tracks up to it exist, empty unless given cells.
    MtmBuilder& cell(uint32_t track, uint32_t row, MtmCell c);
    // The track numbers of pattern `number`, slot by slot; patterns up to it exist.
    MtmBuilder& pattern(uint32_t number, std::vector<uint16_t> tracks);
    MtmBuilder& comment(std::vector<uint8_t> bytes);

    std::vector<uint8_t> build() const;

private:
    std::string title_;
    uint8_t rowsPerTrack_ = 64;
    uint8_t channels_ = 32;
    uint8_t pannings_[32] = {};
    std::vector<MtmSampleDef> samples_;
    std::vector<uint8_t> orders_{0};
    std::map<std::pair<uint32_t, uint32_t>, MtmCell> cells_;
    uint32_t trackCount_ = 0;
    std::vector<std::vector<uint16_t>> patterns_{{}};
    std::vector<uint8_t> comment_;
};

// Header offsets for tests that damage a built file.
constexpr uint32_t MtmTrackCountOffset = 24;
constexpr uint32_t MtmLastPatternOffset = 26;
constexpr uint32_t MtmLastOrderOffset = 27;
constexpr uint32_t MtmSampleCountOffset = 30;
constexpr uint32_t MtmHeaderBytes = 66;
constexpr uint32_t MtmSampleHeaderBytes = 37;

} // namespace tolva::test
