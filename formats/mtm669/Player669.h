#pragma once
#include "engine/BasicSongInfo.h"
#include "engine/Player.h"

#include <array>
#include <cstdint>

namespace tolva {

constexpr uint32_t Channels669 = 8;
constexpr uint32_t MaxSamples669 = 65;
constexpr uint32_t Rows669 = 64;
constexpr uint32_t CellBytes669 = 3; // note x 4 + sample bits 4..5; sample bits 0..3 x 16 +
                                     // volume; effect x 16 + value
constexpr uint32_t PatternBytes669 = Rows669 * Channels669 * CellBytes669;
constexpr uint32_t ListLength669 = 128; // entries of the tempo and break lists

// Plays what load669 stored: eight channels whose cells set note, sample and volume as they
// are read, patterns with their own speed and length, and effects that run on until replaced.
class Player669 : public Player, public BasicSongInfo {
public:
    explicit Player669(Mixer* mixer);
    ~Player669() override;
    SongInfo& info() override { return *this; }

    bool enterPattern(uint32_t pattern) override;
    bool readCell(uint32_t channelIndex) override;
    void triggerNote(Channel& channel) override;
    void resetRowModulation(Channel& channel) override;
    uint32_t formatType() override;
    void describeSample(SampleDescription& out, uint32_t index, uint32_t instrument) override;
    void describePattern(PatternDescription& out, uint32_t index) override;
    bool writePatternText(const PatternDescription& pattern, uint32_t channelCount,
                          CellText* out) override;

    // Rows a pattern plays: its break-list entry + 1, at most the 64 stored.
    uint32_t patternRows(uint32_t pattern) const;

    std::array<uint8_t, ListLength669> tempoList{}; // ticks per row of each pattern
    std::array<uint8_t, ListLength669> breakList{}; // last row of each pattern
    std::array<Channel, Channels669> channels;
    std::array<Sample, MaxSamples669> samples;

private:
    const uint8_t* patternCells_ = nullptr; // of the pattern playing; null without data
};

// The cell texts of a 669 pattern.
void write669PatternText(const PatternDescription& pattern, uint32_t channelCount, CellText* out);

} // namespace tolva
