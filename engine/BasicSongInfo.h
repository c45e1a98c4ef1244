#pragma once
#include "engine/SongInfo.h"

namespace tolva {

class Player;

// The facts of a song made of samples alone, told from the player's song as ProTracker keeps
// it: a format's player derives from it and answers where its format tells more.
class BasicSongInfo : public SongInfo {
public:
    explicit BasicSongInfo(Player& player) : player_(player) {}

    uint32_t formatType() override;
    void creatorText(char* out, uint32_t capacity) override;
    const char* songMessage() override;
    uint32_t channelCount() override;
    uint32_t instrumentCount() override;
    uint32_t instrumentSampleCount(uint32_t instrument) override;
    bool samplesBelongToInstruments() override;
    uint32_t envelopeKinds() override;
    void describeSample(SampleDescription& out, uint32_t index, uint32_t instrument) override;
    void describeInstrument(InstrumentDescription& out, uint32_t index) override;
    void describeInstrumentProperties(PropertyList& out, uint32_t instrument) override;
    bool describeEnvelope(EnvelopeView& out, uint32_t instrument, uint32_t kind) override;
    void describeSong(SongDescription& out) override;
    void describePattern(PatternDescription& out, uint32_t index) override;
    bool writePatternText(const PatternDescription& pattern, uint32_t channelCount,
                          CellText* out) override;

protected:
    ~BasicSongInfo() = default;

private:
    Player& player_;
};

} // namespace tolva
