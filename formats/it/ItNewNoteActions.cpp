#include "formats/it/ItPlayer.h"

#include <algorithm>

namespace tolva {

namespace {

// Duplicate check actions 0..2 as new-note actions.
constexpr uint8_t duplicateActions[3] = {ItActionCut, ItActionNoteOff, ItActionFade};

} // namespace

void ItPlayer::applyAction(ItChannel& record, uint8_t action) {
    switch (action) {
    case ItActionCut:
        if (const int32_t v = voiceIndex(record); v >= 0)
            mixer->stopVoice(static_cast<uint32_t>(v));
        break;
    case ItActionNoteOff:
        noteOff(record);
        break;
    case ItActionFade:
        record.volumeEnvelopeState.flags |= ItEnvelopeFading;
        break;
    default:
        break;
    }
}

// The new note's instrument checks the notes it left playing in the background.
void ItPlayer::duplicateCheck(uint32_t k, const ItInstrument& next, int32_t newVoice) {
    const uint8_t type = next.duplicateCheckType;
    if (type == ItDctOff)
        return;
    // Notes are compared as written: two that the keyboard maps to one pitch are no duplicates.
    const uint32_t written = lastValues_[k].note;
    const ItNoteMapEntry& mapped = next.noteMap[std::min<uint32_t>(written, 119)];
    const Sample* mappedSample = sampleFor(mapped.sample);
    const uint8_t action = duplicateActions[std::min<uint8_t>(next.duplicateCheckAction, 2)];
    for (uint32_t v = 0; v < ItVoices; ++v) {
        ItChannel& r = voices[v];
        if (!r.background || r.owner != k || static_cast<int32_t>(v) == newVoice ||
            r.instrument != &next)
            continue;
        const bool duplicate = type == ItDctNote     ? r.writtenNote == written
                               : type == ItDctSample ? r.sample == mappedSample
                                                     : true;
        if (duplicate)
            applyAction(r, action);
    }
}

void ItPlayer::pastNoteAction(ItChannel& channel, uint8_t action) {
    const uint32_t k = channel.owner % ItChannels;
    for (uint32_t v = 0; v < ItVoices; ++v) {
        ItChannel& r = voices[v];
        if (!r.background || r.owner != k || &r == &channel)
            continue;
        r.newNoteAction = action;
        applyAction(r, action);
    }
}

void ItPlayer::noteOff(ItChannel& record) {
    const int32_t v = voiceIndex(record);
    const ItSample* s = static_cast<const ItSample*>(record.sample);
    if (v >= 0 && s && s->present && (s->flags & ItSampleSustainLoop)) {
        const uint32_t voice = static_cast<uint32_t>(v);
        uint8_t flags = mixer->voiceFlags(voice);
        if (flags & VoiceActive) {
            VoiceRegion region;
            mixer->getVoiceRegion(region, voice);
            flags &= static_cast<uint8_t>(~(VoiceLoop | VoicePingPong));
            if ((s->flags & ItSampleLoop) && s->loopEnd > s->loopStart) {
                region.loopStart = s->loopStart;
                region.end = s->loopEnd;
                // Past the loop's end, the note goes on where the loop would have taken it.
                if (region.position >= s->loopEnd)
                    region.position = s->loopStart + (region.position - s->loopStart) %
                                                         (s->loopEnd - s->loopStart);
                flags |= VoiceLoop;
                if (s->flags & ItSamplePingPong)
                    flags |= VoicePingPong;
            } else {
                // No loop after the sustain: the note plays on to the end of its data.
                region.end = s->length;
            }
            if (!(flags & VoicePingPong))
                flags &= static_cast<uint8_t>(~VoiceBackwards);
            mixer->setVoiceRegion(voice, region);
            mixer->setVoiceFlags(voice, flags);
        }
    }
    record.volumeEnvelopeState.flags |= ItEnvelopeReleased;
    record.panEnvelopeState.flags |= ItEnvelopeReleased;
    record.pitchEnvelopeState.flags |= ItEnvelopeReleased;
    const uint16_t volumeFlags = record.volumeEnvelopeState.flags;
    const bool runsToItsEnd = (volumeFlags & ItEnvelopeOn) && !(volumeFlags & ItEnvelopeLoop) &&
                              !(volumeFlags & ItEnvelopeFinished);
    if (!runsToItsEnd)
        record.volumeEnvelopeState.flags |= ItEnvelopeFading;
}

} // namespace tolva
