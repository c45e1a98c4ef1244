#include "formats/xm/XmPlayer.h"

#include "engine/PitchTables.h"
#include "formats/xm/XmEffects.h"
#include "formats/xm/XmEnvelope.h"
#include "formats/xm/XmVolumeColumn.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <iterator>
#include <utility>

namespace tolva {

namespace {

// Amiga periods of one octave, eight finetune steps per note; note n (0..11) at finetune f
// (-8..7) is entry n x 8 + 8 + f.
constexpr uint16_t amigaPeriods[104] = {
    907, 900, 894, 887, 881, 875, 868, 862, 856, 850, 844, 838, 832, 826, 820, 814, 808, 802,
    796, 791, 785, 779, 774, 768, 762, 757, 752, 746, 741, 736, 730, 725, 720, 715, 709, 704,
    699, 694, 689, 684, 678, 675, 670, 665, 660, 655, 651, 646, 640, 636, 632, 628, 623, 619,
    614, 610, 604, 601, 597, 592, 588, 584, 580, 575, 570, 567, 563, 559, 555, 551, 547, 543,
    538, 535, 532, 528, 524, 520, 516, 513, 508, 505, 502, 498, 494, 491, 487, 484, 480, 477,
    474, 470, 467, 463, 460, 457, 453, 450, 447, 444, 441, 437, 434, 431,
};

constexpr int32_t LinearMiddleC = 4608; // period of C-4: the sample plays at its own rate
constexpr uint32_t MiddleCRate = 8363;
constexpr uint64_t AmigaDividend = 8363ull * 1712 * 65536;

uint32_t patternRows(const HeapArray<uint8_t>& record) {
    return readLe16(record.data() + 5);
}

uint32_t packedSize(const HeapArray<uint8_t>& record) {
    return readLe16(record.data() + 7);
}

} // namespace

XmPlayer::XmPlayer(Mixer* mixer) : Player(mixer), BasicSongInfo(static_cast<Player&>(*this)) {
    channels_.show(channels);
    voiceModel_ = &model_;
    quirks = {
        .slideUpUnit = -4,
        .slideDownUnit = 4,
        .vibratoTowardZero = true,
        .vibratoOnRow = VibratoAtPosition,
        // FastTracker 2 plays the frame at either end of a ping-pong loop twice as it turns.
        .pingPongTurns = TurnRepeatsEnd | TurnRepeatsStart,
        .loopRowsStay = true,
        .finetuneOnChannel = false,
        .retriggerOnFirstTick = false,
        .proTrackerOptions = false,
    };
    effects = xmEffects;
}

XmPlayer::~XmPlayer() {
    if (song.infoOnly)
        return;
    for (XmSample& s : sampleRecords)
        if (s.data) {
            mixer->freeSampleData(s.data);
            s.data = nullptr;
        }
}

bool XmPlayer::fillVoiceStart(uint32_t, const void* request, VoiceStart& out) {
    XmChannel& ch = *static_cast<XmChannel*>(static_cast<const VoiceRequest*>(request)->channel);
    const XmSample* s = static_cast<const XmSample*>(ch.sample);
    if (!s || !s->data)
        return false;
    out.data = s->data;
    out.loopStart = s->loopStart;
    out.end = s->loops() ? s->loopEnd : s->length;
    out.startOffset = ch.sampleOffset * s->frameBytes();
    out.flags = (s->flags & XmSample16Bit) ? Voice16Bit : 0;
    if (s->stereo())
        out.flags |= VoiceStereo;
    if (s->flags & XmLoopPingPong)
        out.flags |= VoiceLoop | VoicePingPong;
    else if (s->flags & XmLoopForward)
        out.flags |= VoiceLoop;
    out.volume = static_cast<uint8_t>(mixerVolume(ch, effectiveVolume(ch)));
    out.panning = static_cast<uint8_t>(mixerPanning(ch, ch.panning) & 0xFF);
    out.sign = 0xFF;
    return out.startOffset < out.end;
}

void XmPlayer::resetChannels() {
    for (XmChannel& ch : channels)
        ch = XmChannel{};
    Player::resetChannels();
}

bool XmPlayer::isPatternMissing(uint32_t pattern) {
    return Player::isPatternMissing(pattern) || packedSize(song.patterns[pattern]) == 0;
}

bool XmPlayer::enterPattern(uint32_t pattern) {
    rowReader_ = patternEnd_ = nullptr;
    if (Player::isPatternMissing(pattern)) {
        song.rowsPerPattern = 64;
        return false;
    }
    const HeapArray<uint8_t>& record = song.patterns[pattern];
    song.rowsPerPattern = std::min(patternRows(record), XmMaxRows);
    if (packedSize(record) == 0)
        return false;
    rowReader_ = record.data() + XmPatternHeaderBytes;
    patternEnd_ = record.data() + record.size();
    const uint32_t skippedCells = nextRow * song.channelCount;
    for (uint32_t i = 0; i < skippedCells && rowReader_ < patternEnd_; ++i) {
        const uint8_t b = *rowReader_;
        uint32_t size = 5;
        if (b & 0x80)
            size = 1 + std::popcount(static_cast<uint32_t>(b & 0x1F));
        rowReader_ += std::min<std::ptrdiff_t>(size, patternEnd_ - rowReader_);
    }
    return true;
}

// Bytes past the end of the data read as 0: a cut pattern ends in empty cells.
uint8_t XmPlayer::nextPatternByte() {
    return rowReader_ < patternEnd_ ? *rowReader_++ : 0;
}

bool XmPlayer::readCell(uint32_t channelIndex) {
    XmChannel& ch = static_cast<XmChannel&>(channel(channelIndex));
    ch.cellNote = XmNoNote;
    ch.cellInstrument = 0;
    ch.volumeColumn = 0;
    ch.cellEffect = -1;
    ch.cellParam = 0;
    // A row without data is an empty row: the effects of the row before do not run again.
    if (changeFlags & ChangeNoPatternData)
        return false;
    const uint8_t b = nextPatternByte();
    if (b & 0x80) {
        if (b & 0x01)
            ch.cellNote = static_cast<uint8_t>(nextPatternByte() - 1);
        if (b & 0x02)
            ch.cellInstrument = nextPatternByte();
        if (b & 0x04)
            ch.volumeColumn = nextPatternByte();
        if (b & 0x08)
            ch.cellEffect = static_cast<int8_t>(nextPatternByte());
        if (b & 0x10) {
            ch.cellParam = nextPatternByte();
            if (!(b & 0x08))
                ch.cellEffect = 0;
        }
    } else {
        ch.cellNote = static_cast<uint8_t>(b - 1);
        ch.cellInstrument = nextPatternByte();
        ch.volumeColumn = nextPatternByte();
        ch.cellEffect = static_cast<int8_t>(nextPatternByte());
        ch.cellParam = nextPatternByte();
    }
    // K00 makes the row's note a key-off, which it then replaces.
    if (ch.cellEffect == 20 && ch.cellParam == 0) {
        ch.cellNote = XmKeyOff;
        ch.cellEffect = -1;
    }
    // A delayed note (EDx) waits for the note-delay effect; without a note it plays the last
    // one again.
    if (!isNoteDelayed(ch))
        return true;
    if (ch.cellNote == XmNoNote)
        ch.cellNote = ch.note;
    return false;
}

template <typename Command> void XmPlayer::runVolumeCommand(XmChannel& ch, Command command) {
    const uint32_t held = changeFlags & ChangeVolume;
    changeFlags &= ~ChangeVolume;
    command();
    if (changeFlags & ChangeVolume)
        ch.tremorMuted = false;
    changeFlags |= held;
}

void XmPlayer::triggerNote(Channel& channel) {
    XmChannel& ch = static_cast<XmChannel&>(channel);
    const bool hasInstrument = ch.cellInstrument != 0 && ch.cellInstrument != XmNoInstrument;
    // An instrument without samples is chosen too: the notes it plays are silent.
    if (hasInstrument)
        ch.selected = instruments[ch.cellInstrument - 1u];
    if (ch.cellNote < XmKeyOff) {
        // Moved by its sample's relative note past A#9, or more than a semitone below C-0, a
        // note is not played.
        const XmSample* s = ch.selected ? ch.selected->sampleForNote(ch.cellNote) : nullptr;
        const int32_t n = ch.cellNote + (s ? s->relativeNote : 0);
        if (n < XmLowestNote || n > XmHighestNote)
            ch.cellNote = XmNoNote;
    }
    const bool hasNote = ch.cellNote < XmKeyOff;
    const bool isKeyOff = !hasNote && ch.cellNote != XmNoNote;
    const bool delayed = isNoteDelayed(ch);
    // Tone portamento slides the sound held to the note instead of starting it; the volume
    // column's does not hold back a delayed note.
    const bool slides =
        ch.cellEffect == 3 || ch.cellEffect == 5 || (ch.volumeColumn >> 4 == 0xF && !delayed);
    if (hasNote && slides && ch.sample) {
        ch.note = ch.cellNote;
    } else if (hasNote) {
        ch.note = ch.cellNote;
        ch.glissandoOffset = 0;
        if (!slides)
            changeFlags |= ChangeStartNote;
        // Every note looks its sample up in the note map, with or without an instrument number.
        const XmInstrument* held = ch.instrument;
        ch.instrument = ch.selected;
        ch.sample = ch.selected ? ch.selected->sampleForNote(ch.note) : nullptr;
        if (!hasInstrument && held != ch.selected && ch.sample && (changeFlags & ChangeStartNote))
            switchInstrument(ch, *static_cast<const XmSample*>(ch.sample));
    } else if (isKeyOff) {
        keyOff(ch);
    }
    if (hasInstrument || (hasNote && std::exchange(ch.numberWaits, false)))
        takeInstrumentNumber(ch, hasNote, isKeyOff);
    if (isKeyOff && delayed && ch.instrument && ch.sample)
        replayKeyOff(ch, hasInstrument, *static_cast<const XmSample*>(ch.sample));
    // A note that starts takes its sample's finetune; E5x on the row may change it after.
    if (hasNote && (changeFlags & ChangeStartNote) && ch.sample)
        ch.finetune = static_cast<uint8_t>(static_cast<const XmSample*>(ch.sample)->finetune);
    runVolumeCommand(ch, [&] { runVolumeColumn(*this, ch); });
}

void XmPlayer::takeInstrumentNumber(XmChannel& ch, bool hasNote, bool isKeyOff) {
    if (!ch.selected && hasNote) {
        ch.volume = 0;
        ch.panning = 128; // centre
        changeFlags |= ChangeVolume | ChangePanning;
        return;
    }
    // Alone, the number gives the sound held back its defaults without restarting it; with
    // none held, those of the chosen instrument's sample for the last note (even one of length
    // 0). A key-off takes only the volume and panning; its envelopes go on fading out.
    const XmSample* s = static_cast<const XmSample*>(ch.sample);
    if (!hasNote && !(ch.instrument && s) && ch.selected) {
        ch.numberWaits = true;
        ch.instrument = ch.selected;
        s = ch.selected->sampleForNote(ch.note);
    }
    if (!ch.instrument || !s)
        return;
    if (!isKeyOff) {
        resetFromInstrument(ch, *s);
        return;
    }
    ch.volume = s->volume;
    ch.panning = s->panning;
    ch.tremorMuted = false;
    changeFlags |= ChangeVolume | ChangePanning;
}

void XmPlayer::resetFromInstrument(XmChannel& ch, const XmSample& s) {
    ch.volume = s.volume;
    ch.panning = s.panning;
    ch.tremorOn = 0;
    ch.tremorCountdown = 0;
    ch.tremorMuted = false;
    restartInstrument(ch, s);
}

void XmPlayer::restartInstrument(XmChannel& ch, const XmSample& s) {
    const XmInstrument& instrument = *ch.instrument;
    restartEnvelope(ch.volumeEnvelope, instrument.volumeEnvelope, EnvelopeFullVolume);
    restartEnvelope(ch.panningEnvelope, instrument.panningEnvelope, EnvelopeCentre);
    ch.fadeoutSpeed = instrument.fadeout();
    ch.fadeVolume = FadeFullVolume;
    ch.autoVibratoTable = (instrument.vibratoType() & 3u) * AutoVibratoLength;
    ch.autoVibratoPosition = 0;
    ch.autoVibratoSweep = 0;
    ch.autoVibratoOffset = 0;
    ch.relativeNote = s.relativeNote;
    // The panning goes to the mixer too: a note that keeps playing would not send it.
    changeFlags |= ChangeVolume | ChangePanning;
}

// A key-off played late by a note delay starts the envelopes and the fadeout over, not
// released: the sound goes on. With a volume envelope or an instrument number it also takes
// the sample's volume and panning; otherwise the key-off has silenced it.
void XmPlayer::replayKeyOff(XmChannel& ch, bool hasInstrument, const XmSample& s) {
    if (hasInstrument || (ch.volumeEnvelope.flags & EnvelopeOn))
        resetFromInstrument(ch, s);
    else
        restartInstrument(ch, s);
}

// A note without a number, of another instrument than the one held (chosen by a number on an
// earlier row), plays on with that one's envelopes from the ticks they had reached, neither
// released nor faded; the volume stays.
void XmPlayer::switchInstrument(XmChannel& ch, const XmSample& s) {
    const XmInstrument& instrument = *ch.instrument;
    switchEnvelope(ch.volumeEnvelope, instrument.volumeEnvelope, EnvelopeFullVolume);
    switchEnvelope(ch.panningEnvelope, instrument.panningEnvelope, EnvelopeCentre);
    ch.fadeoutSpeed = instrument.fadeout();
    ch.fadeVolume = FadeFullVolume;
    ch.relativeNote = s.relativeNote;
    changeFlags |= ChangeVolume | ChangePanning;
}

void XmPlayer::keyOff(XmChannel& ch) {
    if (!(ch.volumeEnvelope.flags & EnvelopeOn)) {
        ch.volume = 0;
        changeFlags |= ChangeVolume;
    }
    ch.panningEnvelope.flags |= EnvelopeReleased;
    ch.volumeEnvelope.flags |= EnvelopeReleased | EnvelopeFading;
}

bool XmPlayer::loopRepeats(const XmChannel& jumping) {
    if (loopVisit_ != patternVisits) {
        loopVisit_ = patternVisits;
        loopStateCount_ = 0;
    }
    uint64_t digest = (uint64_t{songPosition} << 8 | nextRow) * 1099511628211ull;
    for (uint32_t i = 0; i < song.channelCount; ++i) {
        const Channel& ch = channel(i);
        const uint32_t state = &ch == &jumping ? 0x10000u : 0u;
        digest = (digest ^ (state | uint32_t{ch.loopCounter} << 8 | ch.loopRow)) * 1099511628211ull;
    }
    const auto seen = loopStates_.begin() + loopStateCount_;
    if (std::find(loopStates_.begin(), seen, digest) != seen)
        return true;
    if (loopStateCount_ < loopStates_.size())
        loopStates_[loopStateCount_++] = digest;
    return false;
}

void XmPlayer::instrumentTick(XmChannel& ch) {
    // Envelopes wait while a note without a sample holds the channel.
    if (!ch.instrument || !ch.sample)
        return;
    const XmInstrument& instrument = *ch.instrument;
    if (ch.volumeEnvelope.flags & EnvelopeFading) {
        changeFlags |= ChangeVolume;
        if (ch.fadeVolume < ch.fadeoutSpeed) {
            ch.fadeVolume = 0;
            ch.volumeEnvelope.flags &= static_cast<uint8_t>(~EnvelopeFading);
            ch.volumeEnvelope.flags |= EnvelopeFinished;
            ch.panningEnvelope.flags |= EnvelopeFinished;
        } else {
            ch.fadeVolume = static_cast<uint16_t>(ch.fadeVolume - ch.fadeoutSpeed);
        }
    }
    if (stepEnvelope(instrument.volumeEnvelope, ch.volumeEnvelope, false))
        changeFlags |= ChangeVolume;
    if (stepEnvelope(instrument.panningEnvelope, ch.panningEnvelope, false))
        changeFlags |= ChangePanning;

    const int32_t depth = instrument.vibratoDepth();
    if (depth == 0)
        return;
    const uint32_t sweep = instrument.vibratoSweep();
    const int32_t k = static_cast<int32_t>(ch.autoVibratoSweep + 1);
    if (ch.autoVibratoSweep < sweep)
        ch.autoVibratoSweep = static_cast<uint32_t>(k);
    const int32_t wave = autoVibratoWaveforms[ch.autoVibratoTable + ch.autoVibratoPosition];
    ch.autoVibratoOffset = k * wave * depth / static_cast<int32_t>((sweep + 1) * 512);
    ch.autoVibratoPosition =
        (ch.autoVibratoPosition + instrument.vibratoRate()) % AutoVibratoLength;
    changeFlags |= ChangePitch;
}

XmVoiceModel::XmVoiceModel(XmPlayer& player) : VoiceModel(player), xm_(player) {}

int32_t XmVoiceModel::noteToPeriod(Channel& channel, uint32_t note) {
    XmChannel& ch = static_cast<XmChannel&>(channel);
    const int32_t finetune = static_cast<int8_t>(ch.finetune);
    // The semitone below C-0 that still plays sounds as C-0.
    const int32_t n = std::max(static_cast<int32_t>(note) + ch.relativeNote, 0);
    if (xm_.xmFlags & XmLinearFrequencies)
        return (120 - n) * 64 - (xm_.halfStepFinetune ? finetune / 2 : (finetune >> 3) * 4);
    // Notes below the table play in its lowest octave. The finetune counts sixteenths of a
    // semitone: an odd sixteenth lies halfway between two entries of the eighths table.
    const uint32_t m = static_cast<uint32_t>(n);
    const uint32_t sixteenth = (m % 12) * 16 + 16 + static_cast<uint32_t>(finetune >> 3);
    const uint32_t index = sixteenth / 2;
    uint32_t scaled = amigaPeriods[index] * 32u; // the period in octave 0
    if (sixteenth & 1) {
        // Past the last entry comes C of the next octave.
        const uint32_t above = index + 1 < std::size(amigaPeriods) ? amigaPeriods[index + 1] * 32u
                                                                   : amigaPeriods[8] * 16u;
        scaled = (scaled + above) / 2;
    }
    return static_cast<int32_t>(scaled >> (m / 12));
}

int32_t XmVoiceModel::mixerVolume(Channel& channel, int32_t volume) {
    XmChannel& ch = static_cast<XmChannel&>(channel);
    if (ch.tremorMuted)
        return 0;
    const uint64_t level =
        static_cast<uint32_t>(xm_.globalVolume * xm_.song.volumeScale * volume) *
        static_cast<uint64_t>(static_cast<uint32_t>(ch.volumeEnvelope.value) * ch.fadeVolume);
    return static_cast<int32_t>(level >> 40);
}

int32_t XmVoiceModel::mixerPanning(Channel& channel, int32_t panning) {
    XmChannel& ch = static_cast<XmChannel&>(channel);
    const int32_t envelope = ch.panningEnvelope.value - EnvelopeCentre;
    const int32_t room = 128 - std::abs(128 - panning);
    return (((room * envelope) >> 13) + panning) * 255 >> 8;
}

uint32_t XmVoiceModel::periodToFrequency(int32_t period, Channel& channel) {
    XmChannel& ch = static_cast<XmChannel&>(channel);
    const int32_t p = period + ch.autoVibratoOffset + ch.glissandoOffset;
    const uint32_t rate = xm_.mixer->mixingRate();
    if (xm_.xmFlags & XmLinearFrequencies)
        return linearStep(LinearMiddleC - p, MiddleCRate, rate);
    // Auto-vibrato may swing a very short period through zero.
    const uint64_t divisor = static_cast<uint64_t>(rate) * std::max(p, 1);
    if (divisor == 0)
        return 0;
    const uint64_t step = AmigaDividend / divisor;
    return step > UINT32_MAX ? 0 : static_cast<uint32_t>(step);
}

void XmPlayer::startEffect(Channel& channel) {
    XmChannel& ch = static_cast<XmChannel&>(channel);
    // Where the note waits, the volume column's slides (volume and tone portamento) run from
    // the row's first tick; the rest of the column waits with the note.
    const uint32_t command = ch.volumeColumn >> 4;
    if (isNoteDelayed(ch) && (command == 0x6 || command == 0x7 || command == 0xF))
        runVolumeColumn(*this, ch);
    runVolumeCommand(ch, [&] { Player::startEffect(ch); });
    instrumentTick(ch);
}

void XmPlayer::continueEffect(Channel& channel) {
    XmChannel& ch = static_cast<XmChannel&>(channel);
    if (ch.volumeColumnEffect)
        runVolumeCommand(ch, [&] { ch.volumeColumnEffect(*this, ch); });
    if (ch.activeEffect == asTick<xmTremorTick>)
        ch.activeEffect(*this, ch);
    else if (ch.activeEffect)
        runVolumeCommand(ch, [&] { ch.activeEffect(*this, ch); });
    instrumentTick(ch);
}

void XmPlayer::resetRowModulation(Channel& channel) {
    static_cast<XmChannel&>(channel).volumeColumnEffect = nullptr;
    Player::resetRowModulation(channel);
}

uint32_t XmPlayer::formatType() {
    return FormatXm;
}

} // namespace tolva
