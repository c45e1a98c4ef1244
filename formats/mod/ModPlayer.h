#pragma once
#include "engine/BasicSongInfo.h"
#include "engine/Player.h"

#include <array>
#include <cstdint>

namespace tolva {

constexpr uint32_t ModMaxChannels = 32;
constexpr uint32_t ModMaxSamples = 31;
constexpr uint32_t ModRows = 64;
constexpr uint32_t ModCellSize = 3; // little-endian word: note 0..6, effect 7..10, sample 11..15;
                                    // then the parameter

// ProTracker's own period table, and the clock of the PAL Amiga.
class ModVoiceModel : public VoiceModel {
public:
    using VoiceModel::VoiceModel;
    int32_t noteToPeriod(Channel& channel, uint32_t note) override;
    uint32_t periodToFrequency(int32_t period, Channel& channel) override;
};

// Plays what loadMod stored: patterns of 3-byte cells in the song's pattern table, the
// ProTracker behaviour of the base player, tuned as on the PAL Amiga that ProTracker ran on.
class ModPlayer : public Player, public BasicSongInfo {
public:
    explicit ModPlayer(Mixer* mixer);
    ~ModPlayer() override;
    SongInfo& info() override { return *this; }

    bool enterPattern(uint32_t pattern) override;
    bool readCell(uint32_t channelIndex) override;
    void resetChannels() override;
    void triggerNote(Channel& channel) override;
    void startEffect(Channel& channel) override;
    bool fillVoiceStart(uint32_t voice, const void* request, VoiceStart& out) override;
    bool onTick(uint32_t slotIndex, uint32_t framesRendered) override;
    bool writePatternText(const PatternDescription& pattern, uint32_t channelCount,
                          CellText* out) override;

    std::array<Channel, ModMaxChannels> channels;
    std::array<Sample, ModMaxSamples> samples;

private:
    // A sample handed over while a loop plays: it waits for that loop to end.
    struct PendingSwap {
        const Sample* next = nullptr;
        const uint8_t* from = nullptr; // the data playing when it was handed over
        uint32_t position = 0;         // the voice's position at the last look
        uint32_t frame = 0;            // the mixer's frame count then
        bool waiting = false;
    };

    void swapSample(uint32_t voice, const Sample* next);
    void finishSwap(uint32_t voice, uint32_t framesRendered);
    uint32_t channelIndex(const Channel& channel) const;

    // Where ProTracker starts each channel's next note, in sample frames.
    std::array<uint32_t, ModMaxChannels> noteStarts_{};
    std::array<PendingSwap, ModMaxChannels> swaps_{};
    // A note delayed (EDx) to a tick its row does not reach, until the next row.
    std::array<bool, ModMaxChannels> delayedPastRow_{};
    uint32_t framesRendered_ = 0;

    ModVoiceModel model_{*this};
    const uint8_t* rowReader_ = nullptr;
    const uint8_t* patternEnd_ = nullptr;
};

// The cell texts of a MOD pattern as loadMod packs its cells.
void writeModPatternText(const PatternDescription& pattern, uint32_t channelCount, CellText* out);

} // namespace tolva
