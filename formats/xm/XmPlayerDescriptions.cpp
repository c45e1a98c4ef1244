#include "formats/xm/XmPlayer.h"

#include <algorithm>
#include <cstring>

namespace tolva {

namespace {

constexpr uint32_t XmSampleFields =
    SampleFieldInstrument | SampleFieldRelativeNote | SampleFieldLength | SampleFieldFinetune |
    SampleFieldReferenceRate | SampleFieldDefaultVolume | SampleFieldDefaultPanningAlt |
    SampleFieldType | SampleFieldLoop;

} // namespace

uint32_t XmPlayer::instrumentCount() {
    return loadedInstrumentCount;
}

uint32_t XmPlayer::instrumentSampleCount(uint32_t instrument) {
    if (instrument >= XmMaxInstruments || !instruments[instrument])
        return 0;
    return instruments[instrument]->sampleCount();
}

bool XmPlayer::samplesBelongToInstruments() {
    return true;
}

void XmPlayer::describeSample(SampleDescription& out, uint32_t sample, uint32_t instrument) {
    out = {};
    if (instrument >= XmMaxInstruments || sample >= XmMaxSamples || !instruments[instrument])
        return;
    const XmSample* s = instruments[instrument]->samples[sample];
    if (!s || s->blank)
        return;
    out.fieldMask = XmSampleFields;
    std::memcpy(out.name, s->name, sizeof s->name);
    out.instrumentNumber = static_cast<uint8_t>(instrument + 1);
    out.data = s->data;
    out.length = s->length / s->frameBytes();
    out.referenceRate = 8363;
    out.referenceOctave = 4;
    out.finetune = s->finetune;
    out.defaultVolume = s->volume;
    out.defaultPanning = s->panning;
    if (s->flags & XmSample16Bit)
        out.typeFlags |= SampleType16Bit;
    if (s->stereo())
        out.typeFlags |= SampleTypeStereo;
    out.loopKind = (s->flags & XmLoopPingPong)  ? LoopPingPong
                   : (s->flags & XmLoopForward) ? LoopForward
                                                : LoopNone;
    out.loopStart = s->loopStart / s->frameBytes();
    out.loopEnd = s->loopEnd / s->frameBytes();
    out.relativeNote = s->relativeNote;
    out.present = s->present;
}

void XmPlayer::describeInstrument(InstrumentDescription& out, uint32_t index) {
    out = {};
    if (index >= XmMaxInstruments || !instruments[index])
        return;
    std::memcpy(out.bytes, instruments[index]->header, XmInstrumentHeaderBytes);
    constexpr uint32_t NameBytes = 22;
    std::memcpy(out.name, instruments[index]->header + XmiName, NameBytes);
    out.size = XmInstrumentHeaderBytes;
    out.marker = XmInstrumentMarker;
    out.valid = true;
}

void describeXmEnvelope(EnvelopeView& out, const XmEnvelope& envelope, bool panning) {
    out = {};
    out.count = envelope.pointCount;
    for (uint32_t i = 0; i < out.count; ++i) {
        out.ticks[i] = envelope.points[i].x;
        out.values[i] = static_cast<uint8_t>(envelope.points[i].y);
    }
    if (envelope.type & EnvelopeSustain)
        out.sustainBegin = out.sustainEnd = envelope.sustainPoint;
    if (envelope.type & EnvelopeLoop) {
        out.loopBegin = envelope.loopStart;
        out.loopEnd = envelope.loopEnd;
    }
    out.centred = panning;
}

void XmPlayer::describeInstrumentProperties(PropertyList& out, uint32_t index) {
    if (index >= XmMaxInstruments || !instruments[index])
        return;
    static const char* const Vibratos[] = {"Sine", "Square", "Ramp Down", "Ramp Up"};
    const uint8_t* b = instruments[index]->header;
    out.add("Vib Type:", Vibratos[b[XmiVibratoType] & 3]);
    out.addNumber("Vib Depth:", b[XmiVibratoDepth]);
    out.addNumber("Vib Rate:", b[XmiVibratoRate]);
    out.addNumber("Vib Sweep:", b[XmiVibratoSweep]);
    out.addSwitch("Volume Envelope:", b[XmiVolumeType] & EnvelopeOn);
    out.addSwitch("Pan Envelope:", b[XmiPanningType] & EnvelopeOn);
    out.addSwitch("Loop:", b[XmiVolumeType] & EnvelopeLoop);
    out.addNumber("Loop Begin:", b[XmiVolumeLoopStart]);
    out.addSwitch("Sustain:", b[XmiVolumeType] & EnvelopeSustain);
    out.addNumber("Sustain point:", b[XmiVolumeSustain]);
    out.addNumber("Volume Fadeout:", readLe16(b + XmiFadeout));
}

bool XmPlayer::describeEnvelope(EnvelopeView& out, uint32_t index, uint32_t kind) {
    out = {};
    if (index >= XmMaxInstruments || !instruments[index] || kind > EnvelopePanning)
        return false;
    const XmInstrument& instrument = *instruments[index];
    describeXmEnvelope(
        out, kind == EnvelopeVolume ? instrument.volumeEnvelope : instrument.panningEnvelope,
        kind == EnvelopePanning);
    return true;
}

void XmPlayer::describeSong(SongDescription& out) {
    BasicSongInfo::describeSong(out);
    out.modeFlags = static_cast<uint16_t>((xmFlags & XmLinearFrequencies) | ModeInstruments);
    out.showChannelSettings = 0;
}

void XmPlayer::describePattern(PatternDescription& out, uint32_t index) {
    out = {};
    if (Player::isPatternMissing(index))
        return;
    const HeapArray<uint8_t>& record = song.patterns[index];
    out.rows = readLe16(record.data() + 5);
    if (isPatternMissing(index))
        return;
    out.cells = record.data();
    out.size = static_cast<uint32_t>(record.size());
}

} // namespace tolva
