#pragma once
#include "engine/CellText.h"
#include "engine/Descriptions.h"

#include <cstdint>

namespace tolva {

// What the information dialog, the tool and the library tell about a loaded song, asked of its
// format: each format's player answers for its own song.
class SongInfo {
public:
    // Its Format... id.
    virtual uint32_t formatType() = 0;
    // The tracker that wrote the file, with its version, when the file tells; "" otherwise.
    virtual void creatorText(char* out, uint32_t capacity) = 0;
    // Null for a song without a message.
    virtual const char* songMessage() = 0;
    virtual uint32_t channelCount() = 0;
    virtual uint32_t instrumentCount() = 0;
    virtual uint32_t instrumentSampleCount(uint32_t instrument) = 0;
    virtual bool samplesBelongToInstruments() = 0;
    // How many of the envelope kinds (volume, panning, pitch, in that order) the format's
    // instruments may have.
    virtual uint32_t envelopeKinds() = 0;
    virtual void describeSample(SampleDescription& out, uint32_t index, uint32_t instrument) = 0;
    virtual void describeInstrument(InstrumentDescription& out, uint32_t index) = 0;
    // The settings of an instrument; none for a format without instruments.
    virtual void describeInstrumentProperties(PropertyList& out, uint32_t instrument) = 0;
    // Envelope `kind` of an instrument; false when it has none such (out is then empty).
    virtual bool describeEnvelope(EnvelopeView& out, uint32_t instrument, uint32_t kind) = 0;
    virtual void describeSong(SongDescription& out) = 0;
    virtual void describePattern(PatternDescription& out, uint32_t index) = 0;
    // The text of every cell of a described pattern, out[row * channelCount + column] with the
    // columns in channel order; false (nothing written) for a format without cell texts.
    virtual bool writePatternText(const PatternDescription& pattern, uint32_t channelCount,
                                  CellText* out) = 0;

protected:
    ~SongInfo() = default;
};

} // namespace tolva
