#include "formats/mod/ModPlayer.h"

#include "formats/mod/ProTrackerPeriods.h"
#include "song/ByteOrder.h"

#include <algorithm>
#include <utility>

namespace tolva {

namespace {

constexpr uint64_t PalStepClock = 0x361F0F0000ull; // 3546895 Hz, the PAL Amiga's, as 16.16
constexpr uint32_t ProTrackerChannels = 4;
constexpr uint32_t RowOffsetMask = 0xFFFF; // what 9xx sets on the row

} // namespace

// The shared rules are ProTracker's; its vibrato starts falling in pitch, from halfway through
// the waveform tables, and plays the plain period on its row's first tick.
ModPlayer::ModPlayer(Mixer* mixer) : Player(mixer), BasicSongInfo(static_cast<Player&>(*this)) {
    channels_.show(channels);
    samples_.show(samples);
    voiceModel_ = &model_;
    quirks.vibratoPhase = WaveformLength / 2;
    quirks.vibratoTowardZero = true;
    quirks.vibratoOnRow = VibratoPlain;
    quirks.delayedBreakSkipsRow = true;
}

ModPlayer::~ModPlayer() {
    releaseAllSamples();
}

bool ModPlayer::enterPattern(uint32_t pattern) {
    rowReader_ = patternEnd_ = nullptr;
    if (isPatternMissing(pattern))
        return false;
    const auto& cells = song.patterns[pattern];
    patternEnd_ = cells.data() + cells.size();
    rowReader_ = cells.data() + std::min<std::size_t>(static_cast<std::size_t>(nextRow) *
                                                          song.channelCount * ModCellSize,
                                                      cells.size());
    return true;
}

bool ModPlayer::readCell(uint32_t channelIndex) {
    Channel& ch = channel(channelIndex);
    const uint8_t lateNote = ch.cellNote;
    const bool late = std::exchange(delayedPastRow_[channelIndex], false);
    if ((changeFlags & ChangeNoPatternData) ||
        patternEnd_ - rowReader_ < static_cast<std::ptrdiff_t>(ModCellSize)) {
        // A row without data is an empty row: effects of the row before do not run again.
        ch.cellNote = ch.cellInstrument = ch.cellParam = 0;
        ch.cellEffect = -1;
    } else {
        const uint32_t word = readLe16(rowReader_);
        ch.cellNote = word & 0x7F;
        ch.cellEffect = static_cast<int8_t>(word >> 7 & 15);
        ch.cellInstrument = static_cast<uint8_t>(word >> 11);
        ch.cellParam = rowReader_[2];
        rowReader_ += ModCellSize;
    }
    // A delayed note (EDx) waits for the note-delay effect. Delayed past its row's last tick, it
    // starts no sample: its number sets the volume at once, and the next row, unless it brings
    // a note of its own, takes the note's pitch.
    const bool delayed = ch.cellEffect == 14 && ch.cellParam >= 0xD1 && ch.cellParam <= 0xDF;
    if (late && !delayed && ch.cellNote == 0 && lateNote != 0 && ch.sample) {
        ch.note = lateNote;
        ch.period = noteToPeriod(ch, lateNote);
        changeFlags |= ChangePitch;
    }
    if (delayed && (ch.cellParam & 15) >= speed && ch.cellInstrument != 0 && !silentScan) {
        const uint8_t note = std::exchange(ch.cellNote, 0);
        triggerNote(ch);
        ch.cellNote = note;
    }
    delayedPastRow_[channelIndex] = delayed;
    return !delayed && (ch.cellNote != 0 || ch.cellInstrument != 0 || ch.cellEffect >= 0);
}

void ModPlayer::resetChannels() {
    Player::resetChannels();
    noteStarts_.fill(0);
    swaps_.fill({});
    delayedPastRow_.fill(false);
}

uint32_t ModPlayer::channelIndex(const Channel& ch) const {
    return static_cast<uint32_t>(&ch - channels.data());
}

void ModPlayer::triggerNote(Channel& ch) {
    delayedPastRow_[channelIndex(ch)] = false;
    const Sample* playing = ch.sample;
    // An instrument number gives the channel its sample from the start again.
    if (ch.cellInstrument != 0)
        noteStarts_[channelIndex(ch)] = 0;
    Player::triggerNote(ch);
    const bool newNote = ch.cellNote != 0 && ch.cellEffect != 3 && ch.cellEffect != 5;
    if (newNote)
        swaps_[channelIndex(ch)].waiting = false;
    if (ch.cellInstrument == 0 || newNote)
        return;
    // An instrument number without a note to start (alone, or with tone portamento) changes
    // the volume at once and the sample for the next note; the sound already playing goes on.
    changeFlags &= ~ChangeStartNote;
    if (ch.sample != playing)
        swapSample(channelIndex(ch), ch.sample);
}

// ProTracker (four channels) moves the start of the channel's sample by every sample offset it
// is given, with a note or without, and by the offset once more after starting a note with it:
// notes without an instrument number start there. A start past the end stays past it.
void ModPlayer::startEffect(Channel& ch) {
    Player::startEffect(ch);
    if (song.channelCount != ProTrackerChannels)
        return;
    uint32_t& start = noteStarts_[channelIndex(ch)];
    const uint64_t given = repeatingRow ? 0 : ch.sampleOffset & RowOffsetMask;
    const uint64_t moves = changeFlags & ChangeStartNote ? 2 : 1;
    ch.sampleOffset = static_cast<uint32_t>(std::min<uint64_t>(start + given, UINT32_MAX));
    start = static_cast<uint32_t>(std::min<uint64_t>(start + moves * given, UINT32_MAX));
}

// ProTracker hands the new sample to the Amiga's sound chip only as the loop to play once the
// current loop ends: there the new loop takes over, and a sample without a loop (or without
// data) leaves the channel silent. A sound not yet in its loop plays on.
void ModPlayer::swapSample(uint32_t voice, const Sample* next) {
    if (!(mixer->voiceFlags(voice) & VoiceLoop))
        return;
    VoiceRegion region;
    mixer->getVoiceRegion(region, voice);
    if (region.position < region.loopStart)
        return;
    PendingSwap& swap = swaps_[voice];
    if (!swap.waiting)
        swap = {nullptr, region.data, region.position, framesRendered_, true};
    swap.next = next;
}

// Looks at a waiting swap once a tick: the loop has ended when the voice is back behind where
// it was, or has travelled a whole loop since. The new loop starts as far in as the old one
// has got past its end.
void ModPlayer::finishSwap(uint32_t voice, uint32_t framesRendered) {
    PendingSwap& swap = swaps_[voice];
    VoiceRegion region;
    mixer->getVoiceRegion(region, voice);
    if (!(mixer->voiceFlags(voice) & VoiceActive) || region.data != swap.from ||
        region.position < region.loopStart) {
        swap.waiting = false;
        return;
    }
    const Channel& ch = channels[voice];
    const uint64_t step = amigaStep(PalStepClock, ch.period + ch.slideOffset);
    const uint64_t travel = (framesRendered - swap.frame) * step >> 16;
    if (region.position >= swap.position && travel < region.end - region.loopStart) {
        swap.position = region.position;
        swap.frame = framesRendered;
        return;
    }
    swap.waiting = false;
    const Sample* next = swap.next;
    if (!next || !next->data || !(next->flags & SampleLoop)) {
        mixer->stopVoice(voice);
        return;
    }
    const uint32_t loop = std::max(next->loopEnd - next->loopStart, 1u);
    const uint32_t into = (region.position - region.loopStart) % loop;
    mixer->setVoiceRegion(voice,
                          {next->data, next->loopStart + into, next->loopEnd, next->loopStart});
}

bool ModPlayer::onTick(uint32_t slotIndex, uint32_t framesRendered) {
    for (uint32_t voice = 0; voice < song.channelCount; ++voice) {
        if (swaps_[voice].waiting)
            finishSwap(voice, framesRendered);
    }
    framesRendered_ = framesRendered;
    return Player::onTick(slotIndex, framesRendered);
}

bool ModPlayer::fillVoiceStart(uint32_t voice, const void* request, VoiceStart& out) {
    if (!Player::fillVoiceStart(voice, request, out))
        return false;
    // Soundtracker plays only the loop of a looped sample.
    if (song.sampleCount == 15 && (out.flags & SampleLoop))
        out.startOffset = std::max(out.startOffset, out.loopStart);
    return true;
}

int32_t ModVoiceModel::noteToPeriod(Channel& ch, uint32_t note) {
    const uint32_t index = note - ProTrackerFirstNote;
    if (note >= ProTrackerFirstNote && index < ProTrackerNoteCount)
        return proTrackerPeriods[ch.finetune & 15][index];
    return VoiceModel::noteToPeriod(ch, note);
}

uint32_t ModVoiceModel::periodToFrequency(int32_t period, Channel&) {
    return player_.amigaStep(PalStepClock, period);
}

} // namespace tolva
