#include "engine/BasicSongInfo.h"

#include "engine/Player.h"

#include <cstring>

namespace tolva {

uint32_t BasicSongInfo::formatType() {
    return player_.song.sampleCount == 15 ? FormatMod15 : FormatMod;
}

void BasicSongInfo::creatorText(char* out, uint32_t capacity) {
    if (capacity != 0)
        out[0] = '\0';
}

const char* BasicSongInfo::songMessage() {
    return nullptr;
}

uint32_t BasicSongInfo::channelCount() {
    return player_.song.channelCount;
}

uint32_t BasicSongInfo::instrumentCount() {
    return 0;
}

uint32_t BasicSongInfo::instrumentSampleCount(uint32_t) {
    return 0;
}

bool BasicSongInfo::samplesBelongToInstruments() {
    return false;
}

uint32_t BasicSongInfo::envelopeKinds() {
    return 0;
}

void BasicSongInfo::describeSample(SampleDescription& out, uint32_t index, uint32_t) {
    out = {};
    const Sample* s = player_.sample(index);
    if (!s)
        return;
    out.fieldMask = SampleFieldLength | SampleFieldFinetune | SampleFieldReferenceRate |
                    SampleFieldDefaultVolume | SampleFieldType | SampleFieldLoop;
    std::memcpy(out.name, s->name, sizeof s->name);
    const uint32_t frameBytes =
        ((s->flags & Sample16Bit) ? 2 : 1) * ((s->flags & SampleStereo) ? 2 : 1);
    out.data = s->data;
    out.length = s->length / frameBytes;
    out.loopStart = s->loopStart / frameBytes;
    out.loopEnd = s->loopEnd / frameBytes;
    out.referenceRate = 8287;
    out.referenceOctave = 2;
    out.finetune = static_cast<int8_t>(static_cast<uint8_t>(s->finetune << 4)) >> 4;
    out.defaultVolume = s->volume;
    if (s->flags & Sample16Bit)
        out.typeFlags |= SampleType16Bit;
    if (s->flags & SampleStereo)
        out.typeFlags |= SampleTypeStereo;
    if (!player_.song.signedSamples)
        out.typeFlags |= SampleTypeUnsigned;
    out.loopKind = (s->flags & SampleLoop) ? LoopForward : LoopNone;
    out.present = s->present;
}

void BasicSongInfo::describeInstrument(InstrumentDescription& out, uint32_t) {
    out = {};
}

void BasicSongInfo::describeInstrumentProperties(PropertyList&, uint32_t) {}

bool BasicSongInfo::describeEnvelope(EnvelopeView& out, uint32_t, uint32_t) {
    out = {};
    return false;
}

bool BasicSongInfo::writePatternText(const PatternDescription&, uint32_t, CellText*) {
    return false;
}

void BasicSongInfo::describeSong(SongDescription& out) {
    out = {};
    const Song& song = player_.song;
    out.orders = song.orders.data();
    out.channelCount = channelCount();
    const DefaultPannings& pannings = song.pannings;
    for (uint32_t i = 0; i < DescribedChannels; ++i) {
        out.channelPanning[i] = pannings[i].panning;
        out.channelSurround[i] = pannings[i].surround;
        out.channelVolume[i] = 0xFF;
    }
    out.initialTempo = static_cast<uint16_t>(song.initialTempo);
    out.initialSpeed = song.initialSpeed;
    out.showChannelSettings = 1;
}

void BasicSongInfo::describePattern(PatternDescription& out, uint32_t index) {
    out = {};
    if (player_.isPatternMissing(index))
        return;
    out.cells = player_.song.patterns[index].data();
    out.size = static_cast<uint32_t>(player_.song.patterns[index].size());
}

} // namespace tolva
