#pragma once
#include "engine/BasicSongInfo.h"
#include "engine/Player.h"

#include <array>
#include <cstdint>

namespace tolva {

constexpr uint32_t MtmChannelSlots = 32;
constexpr uint32_t MtmMaxSamples = 99;
constexpr uint32_t MtmTrackRows = 64;
constexpr uint32_t MtmRowBytes = 3; // note x 4 + instrument bits 4..5; instrument bits 0..3 x 16
                                    // + effect; parameter
constexpr uint32_t MtmTrackBytes = MtmTrackRows * MtmRowBytes;
constexpr uint32_t MtmPatternEntryBytes = MtmChannelSlots * 2; // 32 little-endian track numbers

// Plays what loadMtm stored: patterns that name one track per channel slot, the tracks holding
// the cells, and the ProTracker effects of the base player.
class MtmPlayer : public Player, public BasicSongInfo {
public:
    explicit MtmPlayer(Mixer* mixer);
    ~MtmPlayer() override;
    SongInfo& info() override { return *this; }

    bool enterPattern(uint32_t pattern) override;
    bool isPatternMissing(uint32_t pattern) override;
    bool readCell(uint32_t channelIndex) override;
    void triggerNote(Channel& channel) override;
    void startEffect(Channel& channel) override;
    uint32_t formatType() override;
    const char* songMessage() override;
    void describePattern(PatternDescription& out, uint32_t index) override;
    bool writePatternText(const PatternDescription& pattern, uint32_t channelCount,
                          CellText* out) override;

    // Track number of a slot in a pattern; 0 (empty) for a pattern or track the file lacks.
    uint32_t trackNumber(uint32_t pattern, uint32_t slot) const;
    // Row `row` of a track, or null for the empty track.
    const uint8_t* trackRow(uint32_t track, uint32_t row) const;
    // The pattern table: 32 track numbers per pattern.
    const HeapArray<uint8_t>& patternTracks() const { return song.patterns[0]; }

    HeapArray<uint8_t> trackData; // trackCount x 64 rows
    uint32_t trackCount = 0;
    uint32_t lastPattern = 0;
    std::array<Channel, MtmChannelSlots> channels;
    std::array<Sample, MtmMaxSamples> samples;
    HeapArray<char> message; // NUL-terminated; empty when the song has none

private:
    std::array<const uint8_t*, MtmChannelSlots> tracks_{}; // of the pattern playing
    Channel* restarting_ = nullptr; // its note starts whatever its effect does
};

// The cell texts of a pattern of MTM tracks.
void writeMtmPatternText(const PatternDescription& pattern, uint32_t channelCount, CellText* out);

} // namespace tolva
