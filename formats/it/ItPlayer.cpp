#include "formats/it/ItPlayer.h"

#include "engine/FormatId.h"
#include "formats/it/ItCreatorText.h"
#include "formats/it/ItEffects.h"
#include "formats/it/ItFilter.h"
#include "formats/it/ItPitch.h"
#include "song/ByteReader.h"
#include "song/InputStream.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tolva {

ItPlayer::ItPlayer(Mixer* mixer) : Player(mixer), BasicSongInfo(static_cast<Player&>(*this)) {
    channels_.show(voices);
    samples_.show(module.samples);
    voiceModel_ = &model_;
    quirks = {
        .slideUpUnit = -4,
        .slideDownUnit = 4,
        .bcdPatternBreak = false,
        .tremoloShift = 1,
        // Impulse Tracker plays the loop's last frame twice as it turns, its first frame once.
        .pingPongTurns = TurnRepeatsEnd,
        // and keeps the pattern loops from one pattern to the next.
        .newPatternResetsLoops = false,
        .noteCutStopsVoice = true,
        .loopCountsInPosition = true,
        .laterChannelDecides = false,
        // SE0 too.
        .firstDelayCounts = true,
        .finetuneOnChannel = false,
        .proTrackerOptions = false,
    };
    effects = itEffects;
    this->mixer->setVoiceFilter(filterItVoice, this);
}

ItPlayer::~ItPlayer() {
    mixer->setVoiceFilter(nullptr, nullptr);
    releaseAllSamples();
}

void ItPlayer::useHertzPitch() {
    quirks.slideUpUnit *= AmigaSubunits;
    quirks.slideDownUnit *= AmigaSubunits;
    song.minPeriod *= AmigaSubunits;
    song.maxPeriod = AmigaLongestPeriod;
}

int32_t ItPlayer::voiceIndex(const ItChannel& record) const {
    const ItChannel* first = voices.data();
    if (&record < first || &record >= first + ItVoices)
        return -1;
    return static_cast<int32_t>(&record - first);
}

void ItPlayer::resetChannels() {
    const DefaultPannings& pannings = song.pannings;
    const bool instruments = instrumentMode();
    for (uint32_t k = 0; k < ItChannels; ++k) {
        ItChannel fresh;
        fresh.owner = k;
        fresh.channelVolume = std::min<uint8_t>(module.header.channelVolume[k], 64);
        fresh.panning = pannings[k].panning;
        fresh.surround = pannings[k].surround;
        fresh.vibratoTable = fresh.tremoloTable = fresh.panbrelloTable = itWaveform(0);
        parkedChannels[k] = fresh;
        voices[k] = fresh;
        if (instruments) {
            voices[k].background = true;
            voiceOfChannel[k] = -1;
            mixer->setVoiceFlags(k, 0);
        } else {
            voiceOfChannel[k] = static_cast<int8_t>(k);
            mixer->setVoicePanning(k, fresh.panning);
            mixer->setVoiceFlags(k, fresh.surround ? VoiceSurround : 0);
        }
    }
    // The note memory starts at C-5: an instrument number before any note picks its sample
    // (and that sample's volume) from the instrument's C-5.
    for (ItCellValues& values : lastValues_)
        values = ItCellValues{.note = 60};
    for (ItCell& c : rowCells_)
        c = ItCell{};
}

bool ItPlayer::isPatternMissing(uint32_t pattern) {
    return pattern >= song.patterns.size() || itPackedLength(song.patterns[pattern]) == 0;
}

bool ItPlayer::enterPattern(uint32_t pattern) {
    song.rowsPerPattern =
        pattern < song.patterns.size() ? itPatternRows(song.patterns[pattern]) : ItEmptyPatternRows;
    if (isPatternMissing(pattern))
        return false;
    reader_.enter(song.patterns[pattern]);
    // Rows skipped by a break still update each channel's last values.
    for (uint32_t row = 0; row < nextRow; ++row)
        reader_.readRow(rowCells_, lastValues_);
    return true;
}

bool ItPlayer::readCell(uint32_t k) {
    ItChannel& ch = patternChannel(k);
    ch.cellEffect = -1;
    ch.cellParam = 0;
    ch.volumeColumn = 0;
    ch.cellMask = 0;
    if (changeFlags & ChangeNoPatternData)
        return false;
    if (k == 0)
        reader_.readRow(rowCells_, lastValues_);
    const ItCell& c = rowCells_[k % ItChannels];
    if (c.mask == 0)
        return false;
    ch.cellMask = c.mask;
    if (c.hasNote())
        ch.cellNote = c.values.note;
    if (c.hasInstrument())
        ch.cellInstrument = c.values.instrument;
    if (c.hasVolume())
        ch.volumeColumn = c.values.volume;
    if (c.hasCommand()) {
        ch.cellEffect = static_cast<int8_t>(c.values.command);
        ch.cellParam = c.values.param;
    }
    if (ch.cellEffect == ItEffectSpecial) {
        if (ch.cellParam == 0)
            ch.cellParam = ch.specialMemory;
        else
            ch.specialMemory = ch.cellParam;
    }
    // A delayed note is started by its delay effect.
    const bool delayed =
        ch.cellEffect == ItEffectSpecial && ch.cellParam >= 0xD0 && ch.cellParam <= 0xDF;
    return !delayed;
}

uint32_t ItPlayer::formatType() {
    return FormatIt;
}

void ItPlayer::creatorText(char* out, uint32_t capacity) {
    itCreatorText(module.header.createdWith, out, capacity);
}

const char* ItPlayer::songMessage() {
    return module.message.empty() ? nullptr : module.message.data();
}

uint32_t ItPlayer::channelCount() {
    return ItChannels;
}

uint32_t ItPlayer::instrumentCount() {
    return module.instrumentCount;
}

void ItPlayer::describeSample(SampleDescription& out, uint32_t index, uint32_t) {
    out = {};
    if (index >= module.sampleCount)
        return;
    const ItSample& s = module.samples[index];
    // Lengths and loop points in frames, as the sample views draw them.
    uint32_t frameBytes = s.frameBytes();
    out.fieldMask = SampleFieldFileName | SampleFieldLength | SampleFieldReferenceRate |
                    SampleFieldDefaultVolume | SampleFieldGlobalVolume | SampleFieldType |
                    SampleFieldLoop | SampleFieldSustainLoop | SampleFieldAutoVibrato;
    if (s.defaultPan & ItSamplePanUsed)
        out.fieldMask |= SampleFieldDefaultPanning;
    std::memcpy(out.name, s.name, sizeof s.name);
    std::memcpy(out.fileName, s.fileName, sizeof out.fileName);
    out.data = s.data;
    out.length = s.length / frameBytes;
    out.loopStart = s.loopStart / frameBytes;
    out.loopEnd = s.loopEnd / frameBytes;
    out.sustainLoopStart = s.sustainLoopStart / frameBytes;
    out.sustainLoopEnd = s.sustainLoopEnd / frameBytes;
    out.referenceRate = s.middleCRate;
    out.referenceOctave = 5;
    out.defaultVolume = s.volume;
    out.globalVolume = s.globalVolume;
    out.defaultPanning = s.defaultPan & 0x7F;
    if (s.flags & ItSample16Bit)
        out.typeFlags |= SampleType16Bit;
    if (!s.signedData)
        out.typeFlags |= SampleTypeUnsigned;
    if (s.flags & ItSampleStereo)
        out.typeFlags |= SampleTypeStereo;
    auto kind = [&](uint8_t loop, uint8_t pingPong) {
        return !(s.flags & loop) ? LoopNone : (s.flags & pingPong) ? LoopPingPong : LoopForward;
    };
    out.loopKind = kind(ItSampleLoop, ItSamplePingPong);
    out.sustainLoopKind = kind(ItSampleSustainLoop, ItSampleSustainPingPong);
    out.vibratoSpeed = s.vibratoSpeed;
    out.vibratoDepth = s.vibratoDepth;
    out.vibratoRate = s.vibratoRate;
    out.vibratoWaveform = s.vibratoWaveform;
    out.present = s.present;
}

void ItPlayer::describeInstrument(InstrumentDescription& out, uint32_t index) {
    out = {};
    if (!instrumentMode() || index >= module.instrumentCount || !module.instruments[index].present)
        return;
    writeItInstrument(module.instruments[index], out.bytes);
    std::memcpy(out.name, module.instruments[index].name, sizeof module.instruments[index].name);
    out.size = ItInstrumentBytes;
    out.valid = true;
}

void describeItEnvelope(EnvelopeView& out, const ItEnvelope& envelope, uint32_t kind) {
    out = {};
    out.count = std::min<uint32_t>(envelope.nodeCount, ItEnvelopeNodes);
    const bool filter = kind == EnvelopePitch && (envelope.flags & ItEnvelopeFilter);
    out.centred = kind != EnvelopeVolume && !filter;
    for (uint32_t i = 0; i < out.count; ++i) {
        const int value = envelope.nodes[i].value;
        out.values[i] =
            static_cast<uint8_t>(std::clamp(kind == EnvelopeVolume ? value : value + 32, 0, 64));
        out.ticks[i] = envelope.nodes[i].tick;
    }
    if (envelope.flags & ItEnvelopeLoop) {
        out.loopBegin = envelope.loopStart;
        out.loopEnd = envelope.loopEnd;
    }
    if (envelope.flags & ItEnvelopeSustain) {
        out.sustainBegin = envelope.sustainStart;
        out.sustainEnd = envelope.sustainEnd;
    }
}

void ItPlayer::describeInstrumentProperties(PropertyList& out, uint32_t index) {
    if (!instrumentMode() || index >= module.instrumentCount || !module.instruments[index].present)
        return;
    static const char* const Actions[] = {"Note Cut", "Continue", "Note Off", "Note Fade"};
    static const char* const Checks[] = {"Disabled", "Note", "Sample", "Instrument"};
    const ItInstrument& in = module.instruments[index];
    const uint8_t volumeFlags = in.volumeEnvelope.flags;
    out.add("Dosname:", in.fileName);
    out.add("NNA:", Actions[in.newNoteAction & 3]);
    out.add("DCT:", Checks[in.duplicateCheckType & 3]);
    out.add("DCA:", Actions[in.duplicateCheckAction & 3]);
    out.addSwitch("Volume Envelope:", volumeFlags & ItEnvelopeOn);
    out.addSwitch("Pan Envelope:", in.panEnvelope.flags & ItEnvelopeOn);
    out.addSwitch("Freq Envelope", in.pitchEnvelope.flags & ItEnvelopeOn);
    out.addSwitch("Carry:", volumeFlags & ItEnvelopeCarry);
    out.addSwitch("Loop:", volumeFlags & ItEnvelopeLoop);
    out.addNumber("Loop Begin:", in.volumeEnvelope.loopStart);
    out.addNumber("Loop End:", in.volumeEnvelope.loopEnd);
    out.addSwitch("SusLoop:", volumeFlags & ItEnvelopeSustain);
    out.addNumber("SusLoop Begin:", in.volumeEnvelope.sustainStart);
    out.addNumber("SusLoop End:", in.volumeEnvelope.sustainEnd);
    out.addNumber("Global Volume:", in.globalVolume);
    out.addNumber("Fadeout:", in.fadeOut);
    out.addNumber("Volume Swing(%):", in.randomVolume);
    if (in.defaultPan & 0x80)
        out.add("Default Pan:", "Off");
    else
        out.addNumber("Default Pan:", in.defaultPan & 0x7F);
    out.addNumber("P-P Center:", in.pitchPanCentre);
    out.addNumber("P-P Separation:", in.pitchPanSeparation);
    out.addNumber("Pan Swing:", in.randomPan);
    const uint8_t filter[] = {in.filterCutoff, in.filterResonance};
    const char* const labels[] = {"Default Cutoff:", "Def Resonance:"};
    for (uint32_t i = 0; i < 2; ++i) {
        if (filter[i] & 0x80)
            out.addNumber(labels[i], filter[i] & 0x7F);
        else
            out.add(labels[i], "Off");
    }
}

bool ItPlayer::describeEnvelope(EnvelopeView& out, uint32_t index, uint32_t kind) {
    out = {};
    if (!instrumentMode() || index >= module.instrumentCount ||
        !module.instruments[index].present || kind > EnvelopePitch)
        return false;
    const ItInstrument& instrument = module.instruments[index];
    const ItEnvelope* envelopes[] = {&instrument.volumeEnvelope, &instrument.panEnvelope,
                                     &instrument.pitchEnvelope};
    describeItEnvelope(out, *envelopes[kind], kind);
    return true;
}

void ItPlayer::describeSong(SongDescription& out) {
    BasicSongInfo::describeSong(out);
    for (uint32_t k = 0; k < ItChannels; ++k) {
        out.channelDisabled[k] = module.header.channelPan[k] & ItChannelDisabled ? 1 : 0;
        out.channelVolume[k] = module.header.channelVolume[k];
    }
    out.modeFlags = 0;
    if (module.header.flags & ItLinearSlides)
        out.modeFlags |= ModeLinearSlides;
    if (instrumentMode())
        out.modeFlags |= ModeInstruments;
}

void ItPlayer::describePattern(PatternDescription& out, uint32_t index) {
    out = {};
    out.rows =
        index < song.patterns.size() ? itPatternRows(song.patterns[index]) : ItEmptyPatternRows;
    if (isPatternMissing(index))
        return;
    out.cells = song.patterns[index].data() + ItPatternHeaderBytes;
    out.size = itPackedLength(song.patterns[index]);
}

uint32_t identifyIt(InputStream& stream) {
    uint8_t magic[4];
    if (!ByteReader(stream).at(0).bytes(magic, sizeof magic).ok())
        return IdentifyUnreadable;
    return std::memcmp(magic, "IMPM", 4) == 0 ? IdentifyMatch : IdentifyNotThisFormat;
}

std::unique_ptr<Player> loadIt(InputStream& stream, bool infoOnly, Mixer* mixer) {
    ItLoadError error;
    return loadIt(stream, infoOnly, mixer, error);
}

std::unique_ptr<Player> loadIt(InputStream& stream, bool infoOnly, Mixer* mixer,
                               ItLoadError& error) {
    std::unique_ptr<ItPlayer> player(new (std::nothrow) ItPlayer(mixer));
    error = player ? loadItModule(stream, infoOnly, mixer, player->song, player->module)
                   : ItLoadError::OutOfMemory;
    if (error != ItLoadError::None)
        return nullptr;
    if (itPitchInHertz(player->module.header))
        player->useHertzPitch();
    // ModPlug Tracker plays a ping-pong loop's first frame twice as it turns, too.
    if (player->module.header.fromModPlug())
        player->quirks.pingPongTurns |= TurnRepeatsStart;
    player->resetChannels();
    return player;
}

} // namespace tolva
