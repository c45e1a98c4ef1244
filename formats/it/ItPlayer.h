#pragma once
#include "engine/Player.h"
#include "formats/it/ItModule.h"
#include "formats/it/ItPattern.h"

#include <array>
#include <cstdint>
#include <memory>

namespace tolva {

// An Impulse Tracker song as loadIt leaves it: the shared song part, the IT records of
// ItModule, and the packed patterns in the song's pattern table. The sequencer walks its rows
// and decodes every cell; notes are not played yet.
class ItPlayer : public Player {
public:
    explicit ItPlayer(Mixer* mixer);
    ~ItPlayer() override;

    Channel& channel(uint32_t index) override;
    Sample* sample(uint32_t index) override;
    bool enterPattern(uint32_t pattern) override;
    bool isPatternMissing(uint32_t pattern) override;
    bool readCell(uint32_t channelIndex) override;
    void defaultPannings(DefaultPannings& out) override;
    float defaultGain() override;
    uint32_t formatType() override;
    void creatorText(char* out, uint32_t capacity) override;
    const char* songMessage() override;
    uint32_t channelCount() override;
    uint32_t instrumentCount() override;
    void describeSample(SampleDescription& out, uint32_t index, uint32_t instrument) override;
    void describeInstrument(InstrumentDescription& out, uint32_t index) override;
    void describeSong(SongDescription& out) override;
    void describePattern(PatternDescription& out, uint32_t index) override;

    bool instrumentMode() const { return module.header.flags & ItInstrumentMode; }
    // The cell of pattern channel k in the row last read (mask 0: none).
    const ItCell& cell(uint32_t k) const { return rowCells_[k % ItChannels]; }

    ItModule module;
    std::array<Channel, ItChannels> channels;

private:
    ItPatternReader reader_;
    ItCellValues lastValues_[ItChannels] = {};
    ItCell rowCells_[ItChannels] = {};
};

// Loads an IT file into a new ItPlayer; null when the file is refused (the reason goes to
// `error` when given). With infoOnly no sample data is read and mixer may be null.
std::unique_ptr<Player> loadIt(InputStream& stream, bool infoOnly, Mixer* mixer,
                               ItLoadError* error = nullptr);

} // namespace tolva
