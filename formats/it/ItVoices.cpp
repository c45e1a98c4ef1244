#include "formats/it/ItEffects.h"
#include "formats/it/ItPlayer.h"

#include <algorithm>
#include <utility>

namespace tolva {

namespace {

// Where a note starts in its sample, in bytes; an offset past `end` starts it at the beginning,
// or with old effects at `end`.
uint32_t offsetStart(const ItChannel& ch, const ItSample& s, uint32_t end, bool oldEffects) {
    const uint64_t start = static_cast<uint64_t>(ch.sampleOffset) * s.frameBytes();
    return start <= end ? static_cast<uint32_t>(start) : oldEffects ? end : 0;
}

} // namespace

uint32_t ItPlayer::voiceChannel(uint32_t voice) {
    return voices[voice % ItVoices].owner % ItChannels;
}

bool ItPlayer::isSilent(uint32_t voice) {
    return !(mixer->voiceFlags(voice) & VoiceActive);
}

int32_t ItPlayer::findVoice(uint32_t k) {
    const int32_t own = voiceOfChannel[k];
    if (own >= 0) {
        if (isSilent(static_cast<uint32_t>(own)))
            return own;
        if (voices[k].background && isSilent(k))
            return static_cast<int32_t>(k);
    }
    for (uint32_t v = 0; v < ItVoices; ++v)
        if (voices[v].background && isSilent(v))
            return static_cast<int32_t>(v);
    for (uint32_t v = 0; v < ItVoices; ++v) {
        if (voices[v].background || !isSilent(v))
            continue;
        // A silent note of another channel: that channel goes back to its parked record.
        const uint32_t owner = voices[v].owner % ItChannels;
        parkedChannels[owner] = voices[v];
        voiceOfChannel[owner] = -1;
        return static_cast<int32_t>(v);
    }
    if (voices[k].background)
        return static_cast<int32_t>(k);
    int32_t oldest = -1;
    for (uint32_t v = 0; v < ItVoices; ++v)
        if (voices[v].background && (oldest < 0 || voices[v].age > voices[oldest].age))
            oldest = static_cast<int32_t>(v);
    return oldest;
}

void ItPlayer::moveChannel(uint32_t k, ItChannel& from, uint32_t voice) {
    ItChannel& to = voices[voice];
    if (&to != &from)
        to = from;
    to.owner = k;
    to.background = false;
    to.age = 0;
    voiceOfChannel[k] = static_cast<int8_t>(voice);
    changeFlags |= ChangeVolume | ChangePanning | ChangeFormatState | ChangeSurround;
}

int32_t ItPlayer::allocateVoice(uint32_t k, const ItInstrument& next) {
    const int32_t own = voiceOfChannel[k];
    if (own < 0) {
        const int32_t v = findVoice(k);
        if (v >= 0)
            moveChannel(k, parkedChannels[k], static_cast<uint32_t>(v));
        return v;
    }
    ItChannel& old = voices[static_cast<uint32_t>(own)];
    if (!old.instrument)
        return own;
    if (old.newNoteAction != ItActionCut) {
        const int32_t v = findVoice(k);
        // Without another voice the new note takes over the old one's.
        if (v >= 0 && v != own) {
            moveChannel(k, old, static_cast<uint32_t>(v));
            old.background = true;
            old.age = 0;
            applyAction(old, old.newNoteAction);
        }
    }
    duplicateCheck(k, next, voiceOfChannel[k]);
    return voiceOfChannel[k];
}

void ItPlayer::commitRecord(ItChannel& record, uint32_t k) {
    const int32_t v = voiceOfChannel[k];
    if (v >= 0) {
        commit(record, static_cast<uint32_t>(v));
        return;
    }
    // A channel without a voice has nothing to send.
    if (changeFlags & ChangeTempo) {
        setTickInterval(tempo);
        changeFlags &= ~ChangeTempo;
    }
    changeFlags &= ~ChangeChannelBits;
}

void ItPlayer::advanceVoice(ItChannel& record) {
    advanceAutoVibrato(record);
    advanceEnvelopes(record);
}

void ItPlayer::advanceBackground() {
    for (uint32_t v = 0; v < ItVoices; ++v) {
        ItChannel& record = voices[v];
        if (!record.background)
            continue;
        advanceVoice(record);
        commit(record, v);
        ++record.age;
    }
}

void ItPlayer::processRow(bool isNewRow) {
    for (uint32_t k = 0; k < ItChannels; ++k) {
        ItChannel& before = patternChannel(k);
        resetRowModulation(before);
        commitRecord(before, k);
        if (isNewRow && readCell(k) && !silentScan)
            triggerNote(before);
        // The note may have moved the channel to another voice.
        ItChannel& ch = patternChannel(k);
        if ((changeFlags & ChangeStartNote) && !std::exchange(ch.modulationRestarted, false))
            restartModulation(ch);
        startEffect(ch);
        commitRecord(ch, k);
    }
    advanceBackground();
}

void ItPlayer::processTick() {
    for (uint32_t k = 0; k < ItChannels; ++k) {
        continueEffect(patternChannel(k));
        // A delayed note may have moved the channel.
        ItChannel& ch = patternChannel(k);
        if ((changeFlags & ChangeStartNote) && !std::exchange(ch.modulationRestarted, false))
            restartModulation(ch);
        if (voiceOfChannel[k] >= 0)
            advanceVoice(ch);
        commitRecord(ch, k);
    }
    advanceBackground();
}

void ItPlayer::startEffect(Channel& channel) {
    ItChannel& ch = static_cast<ItChannel&>(channel);
    Player::startEffect(ch);
    if (itVibratesTwice(ch))
        itVibrateTwice(*this, ch, true);
    // The envelopes step after the row's effect, so that one switched off holds its last value.
    advanceVoice(ch);
}

void ItPlayer::continueEffect(Channel& channel) {
    ItChannel& ch = static_cast<ItChannel&>(channel);
    if (ch.volumeColumnEffect)
        ch.volumeColumnEffect(*this, ch);
    Player::continueEffect(ch);
    if (itVibratesTwice(ch))
        itVibrateTwice(*this, ch, false);
}

void ItPlayer::setPlayDirection(ItChannel& ch, bool backwards) {
    ch.startBackwards = backwards;
    const int32_t v = voiceIndex(ch);
    if (v < 0 || (changeFlags & ChangeStartNote))
        return;
    const uint8_t flags = mixer->voiceFlags(static_cast<uint32_t>(v));
    mixer->setVoiceFlags(static_cast<uint32_t>(v),
                         backwards ? flags | VoiceBackwards : flags & ~VoiceBackwards);
}

void ItPlayer::jumpToOffset(ItChannel& ch) {
    const int32_t v = voiceIndex(ch);
    const ItSample* s = static_cast<const ItSample*>(ch.sample);
    if (v < 0 || !s || !s->data)
        return;
    VoiceRegion region;
    mixer->getVoiceRegion(region, static_cast<uint32_t>(v));
    region.position = offsetStart(ch, *s, region.end, hasFlag(ItOldEffects));
    mixer->setVoiceRegion(static_cast<uint32_t>(v), region);
}

void ItPlayer::resetRowModulation(Channel& channel) {
    // A pattern delay's repeats of a row go on with the volume column's slide, without setting
    // its volume again.
    if (!repeatingRow)
        static_cast<ItChannel&>(channel).volumeColumnEffect = nullptr;
    static_cast<ItChannel&>(channel).startBackwards = false;
    Player::resetRowModulation(channel);
    // An offset counts on its own row only; SAx's step stays for later ones.
    static_cast<ItChannel&>(channel).sampleOffset = 0;
    // Panbrello and the pan envelope change the pan on any row.
    changeFlags |= ChangePanning;
}

bool ItPlayer::fillVoiceStart(uint32_t voice, const void* request, VoiceStart& out) {
    ItChannel& ch = static_cast<ItChannel&>(*static_cast<const VoiceRequest*>(request)->channel);
    const ItSample* s = static_cast<const ItSample*>(ch.sample);
    if (!s || !s->data)
        return false;
    const bool sustain = s->flags & ItSampleSustainLoop;
    const bool loop = s->flags & ItSampleLoop;
    const uint32_t end = sustain ? s->sustainLoopEnd : loop ? s->loopEnd : s->length;
    uint32_t start = offsetStart(ch, *s, end, hasFlag(ItOldEffects));
    uint8_t flags = mixer->voiceFlags(voice) & (VoiceSurround | VoiceFiltered);
    if (sustain || loop)
        flags |= VoiceLoop;
    if (sustain ? (s->flags & ItSampleSustainPingPong) : loop && (s->flags & ItSamplePingPong))
        flags |= VoicePingPong;
    if (s->flags & ItSampleStereo)
        flags |= VoiceStereo;
    if (s->flags & ItSample16Bit)
        flags |= Voice16Bit;
    if (ch.startBackwards && end != 0) {
        flags |= VoiceBackwards;
        if (start == 0)
            start = end - s->frameBytes();
    }
    out.data = s->data;
    out.startOffset = static_cast<uint32_t>(start);
    out.end = end;
    out.loopStart = sustain ? s->sustainLoopStart : loop ? s->loopStart : 0;
    out.flags = flags;
    out.volume = static_cast<uint8_t>(mixerVolume(ch, effectiveVolume(ch)));
    out.panning = static_cast<uint8_t>(mixerPanning(ch, ch.panning) & 0xFF);
    out.sign = s->signedData ? 0x80 : 0;
    ItChannel& record = voices[voice % ItVoices];
    std::fill(std::begin(record.filterInputState), std::end(record.filterInputState), 0.0f);
    std::fill(std::begin(record.filterOutputState), std::end(record.filterOutputState), 0.0f);
    return s->present;
}

} // namespace tolva
