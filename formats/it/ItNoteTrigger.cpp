#include "engine/Random.h"
#include "formats/it/ItEffects.h"
#include "formats/it/ItPitch.h"
#include "formats/it/ItPlayer.h"

#include <algorithm>

namespace tolva {

namespace {

constexpr uint32_t NumberLimit = 200; // instrument and sample numbers are 1..199

uint8_t panFromByte(uint8_t value) {
    return static_cast<uint8_t>(std::min((value & 0x7F) * 255 / 64, 255));
}

void restartEnvelope(ItEnvelopeState& state, const ItEnvelope& envelope, int32_t value) {
    state = ItEnvelopeState{};
    state.value = value;
    state.flags = envelope.flags;
}

// Clears `flags` on all three of the note's envelopes.
void clearEnvelopeFlags(ItChannel& ch, uint16_t flags) {
    for (ItEnvelopeState* e :
         {&ch.volumeEnvelopeState, &ch.panEnvelopeState, &ch.pitchEnvelopeState})
        e->flags &= static_cast<uint16_t>(~flags);
}

} // namespace

// The record of a starting note, on the voice it is given. A note cut, faded out or released
// carries no envelope into the next one.
ItChannel& ItPlayer::takeVoice(ItChannel& ch, uint32_t k, const ItInstrument& instrument) {
    const int32_t own = voiceOfChannel[k];
    const bool ended = own < 0 || isSilent(static_cast<uint32_t>(own)) ||
                       (ch.volumeEnvelopeState.flags & ItEnvelopeReleased);
    allocateVoice(k, instrument);
    ItChannel& next = patternChannel(k);
    if (ended)
        clearEnvelopeFlags(next, ItEnvelopeCarry);
    return next;
}

const ItInstrument* ItPlayer::instrumentFor(uint32_t number) const {
    if (number < 1 || number >= NumberLimit || number > module.instrumentCount)
        return nullptr;
    const ItInstrument& instrument = module.instruments[number - 1];
    return instrument.present ? &instrument : nullptr;
}

ItSample* ItPlayer::sampleFor(uint32_t number) {
    if (number < 1 || number >= NumberLimit || number > module.sampleCount)
        return nullptr;
    ItSample& s = module.samples[number - 1];
    return s.present ? &s : nullptr;
}

void ItPlayer::restoreHeaderPan(ItChannel& ch) {
    const uint8_t p = module.header.channelPan[ch.owner % ItChannels];
    const bool surround = (p & 0x7F) == ItChannelSurround;
    ch.panning = surround ? 128 : panFromByte(p);
    ch.surround = surround ? 1 : 0;
    ch.panFromDefault = false;
    changeFlags |= ChangePanning | ChangeSurround;
}

void ItPlayer::applyInstrument(ItChannel& ch, const ItInstrument& instrument, bool portamento,
                               bool keepsEnvelopes) {
    const bool changed = ch.instrument != &instrument;
    const bool starts = changeFlags & ChangeStartNote;
    ch.instrument = &instrument;
    if (instrument.defaultPan & ItInstrumentPanUnused) {
        if (ch.panFromDefault)
            restoreHeaderPan(ch);
    } else {
        ch.panning = panFromByte(instrument.defaultPan);
        ch.surround = 0;
        ch.panFromDefault = true;
        changeFlags |= ChangePanning | ChangeSurround;
    }
    struct Pair {
        ItEnvelopeState& state;
        const ItEnvelope& envelope;
        int32_t start;
    };
    const Pair pairs[3] = {
        {ch.volumeEnvelopeState, instrument.volumeEnvelope, ItFullVolumeEnvelope},
        {ch.panEnvelopeState, instrument.panEnvelope, 0},
        {ch.pitchEnvelopeState, instrument.pitchEnvelope, 0},
    };
    const bool volumeRestarts = !(ch.volumeEnvelopeState.flags & ItEnvelopeCarry) || changed;
    // Without a new note the envelopes start over on a note that stays released or fading, but
    // for a note the compatible tone portamento slides to, which takes the note off back.
    const bool toNote = portamento && (ch.cellMask & (ItMaskNote | ItMaskLastNote));
    const bool takesBack = starts || (toNote && hasFlag(ItCompatibleTonePortamento));
    const uint16_t kept = takesBack ? 0 : ItEnvelopeReleased | ItEnvelopeFading;
    for (const Pair& p : pairs) {
        if (keepsEnvelopes)
            break;
        if (!(p.state.flags & ItEnvelopeCarry) || changed) {
            const uint16_t held = p.state.flags & kept;
            restartEnvelope(p.state, p.envelope, p.start);
            p.state.flags |= held;
        } else if (takesBack)
            // A carried envelope goes on from where it was, but for a note that is not released.
            p.state.flags &= static_cast<uint16_t>(~(ItEnvelopeReleased | ItEnvelopeFading));
    }
    if (volumeRestarts || starts) {
        // Beside a tone portamento the number leaves a fade where it is.
        if (!portamento || takesBack)
            ch.fadeVolume = ItFullFade;
        ch.fadeRate = instrument.fadeOut;
    }
    ch.newNoteAction = instrument.newNoteAction;
    if (portamento)
        return;
    if (instrument.filterCutoff & ItFilterValueUsed) {
        ch.filterCutoff = instrument.filterCutoff & 0x7F;
        changeFlags |= ChangeFormatState;
    }
    if (instrument.filterResonance & ItFilterValueUsed) {
        ch.filterResonance = instrument.filterResonance & 0x7F;
        changeFlags |= ChangeFormatState;
    }
}

void ItPlayer::applySamplePan(ItChannel& ch, const ItSample& s) {
    if (s.defaultPan & ItSamplePanUsed) {
        ch.panning = panFromByte(s.defaultPan);
        ch.surround = 0;
        ch.panFromDefault = true;
        changeFlags |= ChangePanning | ChangeSurround;
    }
}

void ItPlayer::applySample(ItChannel& ch, ItSample& s, bool defaultVolume, uint8_t randomVolume,
                           uint8_t randomPan) {
    ch.sample = &s;
    if (defaultVolume)
        ch.volume = s.volume;
    if (ch.panOffset != 0) {
        ch.panOffset = 0;
        changeFlags |= ChangePanning;
    }
    changeFlags |= ChangeVolume;
    if (!(changeFlags & ChangeStartNote))
        return;
    applySamplePan(ch, s);
    // Each note draws its own swing from the volume it starts at, as far up as down, of which
    // only the way down is heard; the volume itself stays, so that slides and later notes do not
    // add swings up.
    const int64_t r = randomVolume != 0 ? random.next() : 32768;
    const int64_t swing = (2 * r - 65536) * ch.volume * randomVolume / 6553600;
    ch.volumeSwing = static_cast<uint8_t>(std::clamp<int64_t>(swing, 0, ch.volume));
    if (randomPan != 0) {
        const int32_t r = random.next();
        const int32_t move = ((r * randomPan * 8) >> 16) - 4 * randomPan;
        ch.panning = static_cast<uint8_t>(std::clamp(ch.panning + move, 0, 255));
        changeFlags |= ChangePanning;
    }
    ch.currentRate = s.middleCRate;
}

// A sample number alone that changes the sample of a note not cut, off or faded starts that
// note again with the new one (a number without a sample silences it); in instrument mode
// another instrument's number does, even for the same sample, as a new note with its new-note
// action, and so does its own number once its envelope has silenced the note.
bool ItPlayer::numberAloneRestarts(const ItChannel& ch, uint32_t k) {
    constexpr uint16_t released = ItEnvelopeReleased | ItEnvelopeFading;
    if (!ch.sample || ch.period == 0 || (ch.volumeEnvelopeState.flags & released) ||
        (module.header.channelPan[k] & ItChannelDisabled))
        return false;
    if (!instrumentMode())
        return sampleFor(ch.cellInstrument) != ch.sample;
    const ItInstrument* next = instrumentFor(ch.cellInstrument);
    const int32_t own = voiceOfChannel[k];
    return next && (next != ch.instrument || (own >= 0 && isSilent(static_cast<uint32_t>(own))));
}

// How a cell starts its note, worked out before its instrument or sample is taken.
struct ItPlayer::NoteStart {
    uint32_t k; // the pattern channel
    bool cellHasNote;
    bool numbered; // the cell gives an instrument or sample number
    bool replayed; // a new note without a number plays the channel's instrument again
    bool portamento;
};

// What the note column does to the channel; the note to play (ItNoteCount and above: none).
uint32_t ItPlayer::takeCellNote(ItChannel& ch, const NoteStart& start) {
    constexpr uint16_t released = ItEnvelopeReleased | ItEnvelopeFading;
    const bool enabled = !(module.header.channelPan[start.k] & ItChannelDisabled);
    if (!start.cellHasNote) {
        if ((ch.cellMask & (ItMaskInstrument | ItMaskLastInstrument)) &&
            numberAloneRestarts(ch, start.k))
            changeFlags |= ChangeStartNote;
        return ch.note;
    }
    const uint32_t note = ch.cellNote;
    if (note == ItNoteOff) {
        noteOff(ch);
    } else if (note == ItNoteCut) {
        ch.period = 0;
        changeFlags |= ChangePitch;
    } else if (note < ItNoteCount) {
        if (enabled)
            changeFlags |= ChangeStartNote;
        if (!instrumentMode())
            ch.volumeEnvelopeState.flags &= static_cast<uint16_t>(~released);
    } else {
        ch.volumeEnvelopeState.flags |= ItEnvelopeFading;
    }
    return note;
}

// Tone portamento slides to the note instead of starting it, from either column; with nothing
// sounding on the channel there is nothing to slide and the note starts.
bool ItPlayer::slidesToNote(const ItChannel& ch, uint32_t k) {
    const int32_t own = voiceOfChannel[k];
    if (own < 0 || isSilent(static_cast<uint32_t>(own)))
        return false;
    return ch.cellEffect == ItEffectTonePorta || ch.cellEffect == ItEffectTonePortaVolumeSlide ||
           hasColumnPortamento(ch);
}

// Its own number alone leaves a sounding note's envelopes running, but for old effects. Beside a
// tone portamento of either column, unless G is the compatible one, it lets a released note die
// away.
bool ItPlayer::numberKeepsEnvelopes(const ItChannel& ch, const NoteStart& start) const {
    constexpr uint16_t released = ItEnvelopeReleased | ItEnvelopeFading;
    const bool off = ch.volumeEnvelopeState.flags & released;
    const bool sharedPortamento = start.portamento && !hasFlag(ItCompatibleTonePortamento);
    return !(changeFlags & ChangeStartNote) &&
           ((sharedPortamento && off) || (!start.cellHasNote && !hasFlag(ItOldEffects) && !off));
}

// The instrument and sample a numbered or replayed note takes; the channel's record moves to
// the voice the note is given.
ItChannel& ItPlayer::takeNumbered(ItChannel& record, const NoteStart& start, uint32_t& note) {
    ItChannel* ch = &record;
    uint32_t s = ch->cellInstrument;
    uint8_t randomVolume = 0;
    uint8_t randomPan = 0;
    if (instrumentMode()) {
        if (const ItInstrument* instrument = start.replayed ? ch->instrument : instrumentFor(s)) {
            if (changeFlags & ChangeStartNote)
                ch = &takeVoice(*ch, start.k, *instrument);
            applyInstrument(*ch, *instrument, start.portamento, numberKeepsEnvelopes(*ch, start));
            // Every note of the instrument gets its own variations, with or without a number.
            randomPan = instrument->randomPan;
            randomVolume = instrument->randomVolume;
            // Without a note in the cell the channel's note is mapped already; the sample comes
            // from the pattern's last note.
            const uint32_t patternNote = lastValues_[start.k].note;
            const uint32_t lookup =
                start.cellHasNote || patternNote >= ItNoteCount ? note : patternNote;
            s = instrument->noteMap[lookup].sample;
            if (start.cellHasNote)
                note = instrument->noteMap[note].note;
        } else {
            // A number naming no instrument starts nothing: the note playing goes on.
            changeFlags &= ~ChangeStartNote;
            ch->instrumentMissing = true;
            note = ch->note;
            return *ch;
        }
        ch->instrumentMissing = false;
    }
    if (!start.portamento) { // a slide keeps the sample vibrato's sweep and phase
        ch->autoVibratoOffset = 0;
        ch->autoVibratoSweep = ch->autoVibratoPosition = 0;
    }
    // A tone portamento to another sample starts that sample from its beginning while the slide
    // goes on, unless the portamento is the compatible one; to a sample that is not there it
    // stops the note.
    if (ItSample* sample = numberedSample(*ch, start, s)) {
        const bool swaps =
            start.portamento && sample != ch->sample && !hasFlag(ItCompatibleTonePortamento);
        applySample(*ch, *sample, start.numbered, randomVolume, randomPan);
        if (swaps)
            restartSample(*ch, start.k, *sample);
    } else if (start.portamento) {
        ch->period = 0;
        changeFlags |= ChangePitch;
    } else
        ch->sample = nullptr;
    return *ch;
}

// In sample mode the compatible tone portamento slides on with the sample that plays,
// whatever the number beside it.
ItSample* ItPlayer::numberedSample(const ItChannel& ch, const NoteStart& start, uint32_t number) {
    if (start.portamento && hasFlag(ItCompatibleTonePortamento) && !instrumentMode() && ch.sample)
        return static_cast<ItSample*>(ch.sample);
    return sampleFor(number);
}

void ItPlayer::restartSample(ItChannel& ch, uint32_t k, const ItSample& sample) {
    const int32_t v = voiceOfChannel[k];
    if (v < 0)
        return;
    // The pitch goes on where it was; the slide's target is a note of the new sample. Linear
    // periods count from the sample's own rate, so they move by the distance between the rates.
    const uint32_t rate = sample.middleCRate;
    if (hasFlag(ItLinearSlides) && ch.currentRate != 0 && rate != 0)
        ch.period += itRateDistance(ch.currentRate, rate);
    ch.currentRate = rate;
    ch.sampleOffset = 0;
    // The sample started again takes back a note off or fade.
    ch.fadeVolume = ItFullFade;
    clearEnvelopeFlags(ch, ItEnvelopeReleased | ItEnvelopeFading);
    VoiceRequest request{&ch, this};
    mixer->startVoice(static_cast<uint32_t>(v), &request);
    // In sample mode the sample started again is a new note to the filter: opened fully, it
    // goes. An instrument's note keeps it.
    if (!instrumentMode())
        updateFilter(ch, true);
    changeFlags |= ChangePitch;
}

// A note its instrument maps to no sample is not played, nor slid to: the note sounding goes on,
// and the instrument is the channel's for the notes after it.
bool ItPlayer::ignoresUnmappedNote(ItChannel& ch, const NoteStart& start, uint32_t& note) {
    if (!instrumentMode() || !start.cellHasNote)
        return false;
    const ItInstrument* instrument =
        start.numbered ? instrumentFor(ch.cellInstrument) : ch.instrument;
    if (!instrument || instrument->noteMap[note].sample != 0)
        return false;
    changeFlags &= ~ChangeStartNote;
    ch.instrument = instrument;
    note = ch.note;
    return true;
}

// A cell that gives no instrument or sample to a note it plays.
void ItPlayer::applyUnplayedNumber(ItChannel& ch, const NoteStart& start) {
    if (!instrumentMode() && (changeFlags & ChangeStartNote) && ch.sample) {
        // Every new note takes its sample's panning again, with or without a sample number.
        applySamplePan(ch, static_cast<const ItSample&>(*ch.sample));
    } else if (start.numbered && start.cellHasNote && instrumentMode()) {
        // An instrument number beside a note off, cut or fade gives the note its sample's
        // volume again and restarts the instrument's envelopes on the note it released; beside
        // a note off they go on, but for old effects.
        if (const ItInstrument* instrument = instrumentFor(ch.cellInstrument)) {
            const bool off = ch.cellNote == ItNoteOff;
            applyInstrument(ch, *instrument, false, off && !hasFlag(ItOldEffects));
            if (ch.sample) {
                ch.volume = static_cast<const ItSample&>(*ch.sample).volume;
                changeFlags |= ChangeVolume;
            }
            // There the restart, without a portamento beside it, takes back the note off: the
            // envelopes hold at their sustain again and no fade starts, while the sample stays
            // past its sustain loop.
            if (off && hasFlag(ItOldEffects) && !start.portamento)
                clearEnvelopeFlags(ch, ItEnvelopeReleased | ItEnvelopeFading);
        }
    } else if (start.numbered && start.cellHasNote) {
        // A sample number beside a note cut, off or fade is the sample of the next note.
        if (ItSample* sample = sampleFor(ch.cellInstrument)) {
            applySample(ch, *sample, true, 0, 0);
            ch.currentRate = sample->middleCRate;
        }
    }
}

void ItPlayer::triggerNote(Channel& channel) {
    ItChannel* ch = &static_cast<ItChannel&>(channel);
    NoteStart start{};
    start.k = ch->owner % ItChannels;
    start.cellHasNote = ch->cellMask & (ItMaskNote | ItMaskLastNote);
    uint32_t note = takeCellNote(*ch, start);
    start.portamento = slidesToNote(*ch, start.k);
    if (start.portamento)
        changeFlags &= ~ChangeStartNote;
    // A new note without an instrument number plays the channel's instrument again, at the
    // volume it has.
    start.numbered = ch->cellMask & (ItMaskInstrument | ItMaskLastInstrument);
    // After a number that named no instrument, notes without a number start nothing either.
    if (!start.numbered && ch->instrumentMissing && note < ItNoteCount) {
        changeFlags &= ~ChangeStartNote;
        note = ch->note;
    }
    start.replayed = !start.numbered && instrumentMode() && ch->instrument &&
                     (changeFlags & ChangeStartNote) && note < ItNoteCount;
    if ((start.numbered || start.replayed) && note < ItNoteCount) {
        if (!ignoresUnmappedNote(*ch, start, note))
            ch = &takeNumbered(*ch, start, note);
    } else if (start.portamento && note < ItNoteCount) {
        // Without a number the slide goes to the note the channel's instrument maps it to.
        if (!ignoresUnmappedNote(*ch, start, note) && instrumentMode() && ch->instrument)
            note = ch->instrument->noteMap[note].note;
    } else
        applyUnplayedNumber(*ch, start);
    if (note < ItNoteCount)
        ch->note = note;
    // A new note moves the pan by its distance from the instrument's centre note, an eighth of
    // the separation a semitone in sixty-fourths of the width. The distance is the written
    // note's, before the instrument's keyboard maps it.
    if ((changeFlags & ChangeStartNote) && instrumentMode() && ch->instrument) {
        const ItInstrument& in = *ch->instrument;
        const uint32_t written = lastValues_[start.k].note;
        ch->writtenNote = written < ItNoteCount ? written : ch->note;
        const int32_t distance = static_cast<int32_t>(ch->writtenNote) - in.pitchPanCentre;
        ch->pitchPanOffset = (distance * in.pitchPanSeparation) >> 1;
    }
    // The waveforms restart before the volume column's vibrato takes its first step.
    if (changeFlags & ChangeStartNote) {
        changeFlags |= ChangeFormatState;
        restartModulation(*ch);
        ch->modulationRestarted = true;
    }
    if (ch->cellMask & (ItMaskVolume | ItMaskLastVolume))
        runVolumeColumn(*ch);
}

} // namespace tolva
