#include "engine/Player.h"

#include "engine/ModPlugAdpcm.h"
#include "engine/ProTrackerEffects.h"
#include "song/ByteReader.h"
#include "song/InputStream.h"
#include "song/SampleData.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tolva {

namespace {

constexpr uint32_t LastOrderSlot = MaxOrders; // orders[] always ends with an end marker here

bool isEndMarker(int32_t entry) {
    return entry < 0 && entry != OrderSkip;
}

} // namespace

Player::Player(Mixer* m) : effects(proTrackerEffects), mixer(m ? m : &silentMixer_) {
    if (m)
        m->setOwner(this);
}

Player::~Player() {
    mixer->removeTickListener(this);
    if (mixer->owner() == this)
        mixer->setOwner(nullptr);
}

bool Player::isEnded() {
    return ended;
}

bool Player::fillVoiceStart(uint32_t, const void* request, VoiceStart& out) {
    Channel& ch = *static_cast<const VoiceRequest*>(request)->channel;
    const Sample* s = ch.sample;
    if (!s || !s->data)
        return false;
    const uint32_t end = (s->flags & SampleLoop) ? s->loopEnd : s->length;
    uint64_t start = ch.sampleOffset;
    if (s->flags & Sample16Bit)
        start *= 2;
    if (s->flags & SampleStereo)
        start *= 2;
    if (start > end) {
        // Past the whole sample a looped sample plays its loop, as ProTracker's shortened
        // sample runs into it; where the quirks say so, already past the loop end, and as far
        // into the loop as the offset has gone round it.
        const bool wraps = quirks.offsetPastLoopEndLoops;
        if (!(s->flags & SampleLoop) || start < (wraps ? end : s->length))
            return false;
        const uint64_t loop = std::max<uint64_t>(end - s->loopStart, 1);
        start = s->loopStart + (wraps ? (start - s->loopStart) % loop : 0);
    }
    out.data = s->data;
    out.startOffset = static_cast<uint32_t>(start);
    out.end = end;
    out.loopStart = s->loopStart;
    out.flags = s->flags;
    out.volume = static_cast<uint8_t>(mixerVolume(ch, effectiveVolume(ch)));
    out.panning = static_cast<uint8_t>(mixerPanning(ch, ch.panning) & 0xFF);
    out.sign = 0xFF;
    return true;
}

void Player::resetChannels() {
    const DefaultPannings& pannings = song.pannings;
    const uint32_t count = std::min<uint32_t>(song.channelCount, MixerVoiceCount);
    for (uint32_t i = 0; i < count; ++i) {
        Channel& ch = channel(i);
        ch.resetBase();
        ch.panning = pannings[i].panning;
        ch.surround = pannings[i].surround;
        mixer->setVoicePanning(i, ch.panning);
        mixer->setVoiceFlags(i, ch.surround ? VoiceSurround : 0);
    }
}

bool Player::isPatternMissing(uint32_t pattern) {
    return pattern >= song.patterns.size() || song.patterns[pattern].empty();
}

void Player::triggerNote(Channel& ch) {
    if (ch.cellInstrument != 0) {
        Sample* s = sample(ch.cellInstrument - 1u);
        if (s && s->present) {
            ch.sample = s;
            ch.volume = s->volume;
            ch.finetune = static_cast<uint8_t>(s->finetune);
            changeFlags |= ChangeVolume;
        } else {
            ch.sample = nullptr;
            changeFlags |= ChangeStartNote;
        }
    }
    if (ch.cellNote != 0) {
        // Tone portamento slides to the note instead of starting it.
        if (ch.cellEffect != 3 && ch.cellEffect != 5)
            changeFlags |= ChangeStartNote;
        ch.note = ch.cellNote;
    }
}

uint32_t Player::amigaStep(uint64_t clock, int32_t period) {
    const uint32_t divisor = mixer->mixingRate() * static_cast<uint32_t>(period);
    if (divisor == 0)
        return 0;
    return static_cast<uint32_t>(clock / divisor);
}

// A cell without an effect leaves the running one going on (in formats whose rows stop it).
void Player::startEffect(Channel& ch) {
    if (ch.cellEffect < 0)
        return;
    ch.activeEffect = nullptr;
    if (const EffectRow row = effects.find(ch.cellEffect))
        row(*this, ch, ch.cellParam);
}

void Player::continueEffect(Channel& ch) {
    if (ch.activeEffect)
        ch.activeEffect(*this, ch);
}

void Player::resetRowModulation(Channel& ch) {
    ch.activeEffect = nullptr;
    if (ch.vibratoOffset != 0 || ch.arpeggioOffset != 0) {
        ch.vibratoOffset = 0;
        ch.arpeggioOffset = 0;
        changeFlags |= ChangePitch;
    }
    if (ch.tremoloOffset != 0) {
        ch.tremoloOffset = 0;
        changeFlags |= ChangeVolume;
    }
    ch.sampleOffset &= 0xFFFF0000u;
}

void Player::processRow(bool isNewRow) {
    for (uint32_t i = 0; i < song.channelCount; ++i) {
        Channel& ch = channel(i);
        resetRowModulation(ch);
        if (isNewRow && readCell(i) && !silentScan)
            triggerNote(ch);
        if (changeFlags & ChangeStartNote)
            restartModulation(ch);
        startEffect(ch);
        commit(i);
    }
    // Where a delayed row's break leads one row further; each pass of the row sets it again.
    if (quirks.delayedBreakSkipsRow && (patternDelay != 0 || repeatingRow) &&
        (changeFlags & (ChangeJumpPending | ChangeLoopJump)) == ChangeJumpPending)
        ++nextRow;
}

void Player::processTick() {
    for (uint32_t i = 0; i < song.channelCount; ++i) {
        Channel& ch = channel(i);
        continueEffect(ch);
        if (changeFlags & ChangeStartNote)
            restartModulation(ch);
        commit(i);
    }
}

float Player::defaultGain() const {
    return static_cast<float>(song.channelCount) * 0.3f * song.mixVolume;
}

bool Player::onTick(uint32_t, uint32_t framesRendered) {
    if (--tickCountdown == 0) {
        tickCountdown = speed;
        rowExtraTicks = 0;
        const bool isNewRow = patternDelay == 0;
        repeatingRow = !isNewRow;
        if (isNewRow) {
            patternDelaySet = false;
            advanceRow();
            if (watchedFrame < 0 && watchedOrder_ == static_cast<int32_t>(currentOrder) &&
                watchedRow_ == currentRow())
                watchedFrame = framesRendered;
        }
        processRow(isNewRow);
        tickCountdown = static_cast<uint16_t>(tickCountdown + rowExtraTicks);
        if (!isNewRow)
            --patternDelay;
    } else {
        processTick();
    }
    return !ended;
}

bool Player::onlySkippableFrom(uint32_t index) {
    for (; index <= LastOrderSlot; ++index) {
        const int32_t entry = song.orders[index];
        if (isEndMarker(entry))
            return true;
        if (entry != OrderSkip && !isPatternMissing(static_cast<uint32_t>(entry)))
            return false;
    }
    return true;
}

// A break past the last order leads to its row in the order the song starts again from (as the
// end of the orders does while loops count, where their counts tell positions apart); the song
// goes on there while that row is unplayed (or the break counts as a loop's pass), unless it
// already came back to played rows.
bool Player::wrapsOntoNewRow(uint32_t restart, bool loopJump) {
    const bool countsDiffer = quirks.loopCountsInPosition && isPatternLoopActive();
    if ((nextRow == 0 && !countsDiffer) || cameBack_)
        return false;
    uint32_t index = restart == NoRestartPosition ? startOrder_ : restart;
    while (index < LastOrderSlot && song.orders[index] == OrderSkip)
        ++index;
    if (index >= LastOrderSlot || isEndMarker(song.orders[index]) ||
        (!loopJump && playedBefore(index * 256 + nextRow)))
        return false;
    orderIndex = index;
    wrapped_ = true;
    return true;
}

// Where a song that reached the end of its orders goes on, if it may: true with orderIndex
// moved there.
bool Player::restartAfterEnd(bool loopJump) {
    uint32_t restart = song.restartPosition;
    if (wrapsOntoNewRow(restart, loopJump))
        return true;
    // Asked to repeat, a subsong starts again from its own start.
    if ((songFlags & SongRestartsAtEnd) && (restart == NoRestartPosition || startOrder_ != 0))
        restart = startOrder_;
    if (restart == NoRestartPosition || (restart >= orderIndex && restart != startOrder_) ||
        (songFlags & SongNoBackwardJumps) ||
        ((songFlags & SongSkipTrailingEmpty) && onlySkippableFrom(restart)))
        return false;
    orderIndex = restart;
    return true;
}

// An order another tune plays ends this one as the end of the list does.
bool Player::belongsHere(uint32_t order) const {
    if (!bounded_ || order >= MaxOrders)
        return true;
    return !earlierOrders_[order] && (!cameBack_ || playedOrders[order]);
}

// Takes the next playable order entry into songPosition; false when the song ended instead.
bool Player::fetchOrder(bool loopJump) {
    bool restarted = false;
    wrapped_ = false;
    while (!ended) {
        if ((songFlags & SongSkipTrailingEmpty) && onlySkippableFrom(orderIndex)) {
            while (orderIndex < LastOrderSlot && !isEndMarker(song.orders[orderIndex]))
                ++orderIndex;
        }
        const int32_t entry = orderIndex <= LastOrderSlot ? song.orders[orderIndex] : OrderEnd;
        ++orderIndex;
        if (entry == OrderSkip)
            continue;
        if (entry < 0 || !belongsHere(orderIndex - 1)) {
            // A second arrival at the end within one fetch means nothing is left to play.
            if (!restarted && restartAfterEnd(loopJump)) {
                restarted = true;
                continue;
            }
            ended = true;
            break;
        }
        songPosition = (orderIndex - 1) * 256 + nextRow;
        currentOrder = orderIndex - 1;
        if (loopJump || !playedBefore(songPosition)) {
            fetchedPattern_ = static_cast<uint32_t>(entry);
            orderAfterJump = -1;
            return true;
        }
        if (songFlags & SongNoBackwardJumps) {
            cameBack_ = true;
            if (orderAfterJump >= 0)
                orderIndex = static_cast<uint32_t>(std::exchange(orderAfterJump, -1));
            continue;
        }
        countReturn();
        fetchedPattern_ = static_cast<uint32_t>(entry);
        return !ended;
    }
    return false;
}

void Player::requestJump(uint32_t order, bool atPatternEnd) {
    requestedOrder_ = order < song.orderCount ? static_cast<int32_t>(order) : -1;
    requestAtPatternEnd_ = atPatternEnd;
}

void Player::watchPosition(uint32_t order, uint32_t row) {
    watchedOrder_ = static_cast<int32_t>(order);
    watchedRow_ = row;
    watchedFrame = -1;
}

// The song ends on its maxLoops-th return to the first played position it came back to.
void Player::countReturn() {
    if (loopStartPosition == -1)
        loopStartPosition = static_cast<int32_t>(songPosition);
    if (songPosition == static_cast<uint32_t>(loopStartPosition) && ++loopReturnCount >= maxLoops)
        ended = true;
}

uint64_t Player::loopStateKey(uint32_t position) {
    uint64_t key = position % PositionCount;
    uint32_t shift = 16;
    for (uint32_t i = 0; i < song.channelCount; ++i) {
        const uint8_t count = channel(i).loopCounter;
        if (count == 0)
            continue;
        if (shift > 54 || i >= 64 || count >= 16)
            return 0;
        key |= static_cast<uint64_t>(i << 4 | count) << shift;
        shift += 10;
    }
    return key;
}

bool Player::playedBefore(uint32_t position) {
    if (!quirks.loopCountsInPosition || !isPatternLoopActive())
        return visited[position % PositionCount];
    const uint64_t key = loopStateKey(position);
    return key != 0 && loopVisited_.contains(key);
}

bool Player::cameBackEnds() {
    if (songFlags & SongNoBackwardJumps)
        ended = true;
    else
        countReturn();
    if (ended)
        changeFlags |= ChangeNoPatternData;
    return ended;
}

bool Player::loopJumpRepeats() {
    if (quirks.loopCountsInPosition)
        return false;
    // The counts take at most bits 16 to 55 of the key; the row jumped to goes above them.
    uint64_t key = loopStateKey(songPosition);
    if (key == 0)
        return false;
    key |= uint64_t{nextRow & 0xFF} << 56;
    if (loopVisited_.contains(key))
        return true;
    loopVisited_.insert(key);
    return false;
}

void Player::markPlayed(uint32_t position) {
    if (!quirks.loopCountsInPosition || !isPatternLoopActive())
        visited.set(position % PositionCount);
    else if (const uint64_t key = loopStateKey(position))
        loopVisited_.insert(key);
}

// A requested jump goes where it was asked even onto played rows, as a loop's jump does.
bool Player::takeRequestedJump() {
    const bool patternEnds = rowsLeft == 1 || (changeFlags & ChangeJumpPending);
    if (requestedOrder_ < 0 || (requestAtPatternEnd_ && !patternEnds))
        return false;
    orderIndex = static_cast<uint32_t>(std::exchange(requestedOrder_, -1));
    orderAfterJump = -1;
    bounded_ = false;
    nextRow = 0;
    changeFlags |= ChangeJumpPending | ChangeLoopJump;
    return true;
}

void Player::advanceRow() {
    const bool requested = takeRequestedJump();
    if (!(changeFlags & ChangeJumpPending) && --rowsLeft != 0) {
        ++songPosition;
        if (!quirks.loopCountsInPosition || !playedBefore(songPosition)) {
            markPlayed(songPosition);
            return;
        }
        // The next row was played in these counts: the song came back to it.
        cameBackEnds();
        return;
    }
    const bool loopJump = (changeFlags & (ChangeLoopJump | ChangeJumpInLoop)) != 0;
    // A jump the host asked for is no loop's, however often it comes.
    if (!requested && (changeFlags & ChangeLoopJump) && loopJumpRepeats() && cameBackEnds())
        return;
    // Where loop counts tell positions apart, a loop's pass is on new positions by itself.
    const bool ontoPlayed =
        requested || (changeFlags & ChangeJumpInLoop) || (loopJump && !quirks.loopCountsInPosition);
    changeFlags &= ~(ChangeJumpPending | ChangeNoPatternData);
    const bool taken = fetchOrder(ontoPlayed);
    changeFlags &= ~(ChangeLoopJump | ChangeJumpInLoop);
    if (taken) {
        bool hasData = enterPattern(fetchedPattern_);
        if (nextRow != 0 && nextRow >= song.rowsPerPattern) {
            // A break beyond the end of a shorter pattern starts it from the top.
            nextRow = 0;
            songPosition = (orderIndex - 1) * 256;
            hasData = enterPattern(fetchedPattern_);
            // Wrapped past the last order onto a played top: the end of the orders ends it.
            if (wrapped_ && !ontoPlayed && playedBefore(songPosition))
                ended = true;
        }
        if (!hasData || ended)
            changeFlags |= ChangeNoPatternData;
        rowsLeft = std::max<uint32_t>(song.rowsPerPattern - nextRow, 1);
        if (!(loopJump && quirks.loopRowsStay))
            nextRow = 0;
        if (!loopJump)
            ++patternVisits;
        playedOrders.set(currentOrder);
        if (!loopJump && quirks.newPatternResetsLoops)
            for (uint32_t i = 0; i < song.channelCount; ++i)
                channel(i).loopRow = 0;
    } else {
        changeFlags |= ChangeNoPatternData;
    }
    markPlayed(songPosition);
}

int32_t Player::effectiveVolume(const Channel& ch) {
    return std::clamp<int32_t>(ch.volume + ch.tremoloOffset, 0, 64);
}

void Player::restartModulation(Channel& ch) {
    if (!(ch.waveControl & WaveKeepVibrato)) {
        ch.vibratoPosition = 0;
        ch.vibratoOffset = 0;
        ch.vibratoOffsetSaved = 0;
    }
    if (!(ch.waveControl & WaveKeepTremolo)) {
        ch.tremoloPosition = 0;
        ch.tremoloOffset = 0;
        ch.tremoloOffsetSaved = 0;
    }
    if (ch.sample)
        ch.slideOffset = 0;
}

void Player::commit(uint32_t i) {
    commit(channel(i), i);
}

void Player::sendChanges(Channel& ch, uint32_t i) {
    if (changeFlags & ChangeTempo) {
        setTickInterval(tempo);
        changeFlags &= ~ChangeTempo;
    }
    if (changeFlags & ChangeStopVoice)
        mixer->stopVoice(i);
    const bool starting = (changeFlags & ChangeStartNote) != 0;
    if ((changeFlags & ChangePanning) && !starting)
        mixer->setVoicePanning(i, static_cast<uint8_t>(mixerPanning(ch, ch.panning) & 0xFF));
    if (changeFlags & ChangeSurround) {
        uint8_t flags = mixer->voiceFlags(i);
        flags = ch.surround ? (flags | VoiceSurround) : (flags & ~VoiceSurround);
        mixer->setVoiceFlags(i, flags);
    }
    if ((changeFlags & ChangeVolume) && !starting)
        mixer->setVoiceVolume(i, static_cast<uint8_t>(mixerVolume(ch, effectiveVolume(ch))));
    if (changeFlags & ChangeFormatState)
        voiceModel_->updateFormatState(ch);
    if (starting) {
        if (!ch.sample) {
            ch.period = 0;
        } else {
            VoiceRequest request{&ch, this};
            mixer->startVoice(i, &request);
            ch.period = noteToPeriod(ch, ch.note);
            ch.sampleOffset = 0;
        }
        updateFrequency(i, ch);
    } else if (changeFlags & ChangePitch) {
        updateFrequency(i, ch);
    }
    changeFlags &= ~ChangeChannelBits;
}

void Player::updateFrequency(uint32_t i, Channel& ch) {
    if (ch.period == 0) {
        mixer->stopVoice(i);
        return;
    }
    const int32_t p =
        std::max(ch.period + ch.slideOffset + ch.vibratoOffset + ch.arpeggioOffset, song.minPeriod);
    const uint32_t step = periodToFrequency(p, ch);
    if (step == 0)
        mixer->stopVoice(i);
    else
        mixer->setVoiceStep(i, step);
}

void Player::setTickInterval(uint32_t bpm) {
    const uint32_t rate = mixer->mixingRate();
    if (rate == 0)
        return; // not configured yet: configurePlayback registers the first interval
    // Whole frames a tick, as for a tempo.
    if (bpm == TimerTempo && song.timerCounts) {
        constexpr uint64_t AmigaTimerHz = 709379;
        mixer->addTickListener(
            this, static_cast<uint32_t>(uint64_t{rate} * song.timerCounts / AmigaTimerHz));
        return;
    }
    const uint32_t beats = std::max<uint32_t>(bpm & 0xFF, 1);
    mixer->addTickListener(this, 5 * rate / (2 * beats));
}

uint32_t Player::beatsPerMinute() const {
    return tempo == TimerTempo && song.timerCounts ? song.initialTempo : tempo;
}

uint32_t Player::startTempo() const {
    return song.timerCounts ? TimerTempo : song.initialTempo;
}

void Player::restartSong() {
    loopStartPosition = -1;
    requestedOrder_ = -1;
    watchedFrame = -1;
    orderAfterJump = -1;
    speed = song.initialSpeed;
    nextRow = 0;
    orderIndex = startOrder_;
    currentOrder = startOrder_;
    songPosition = startOrder_ * 256;
    playedOrders.reset();
    cameBack_ = false;
    bounded_ = true;
    loopReturnCount = 0;
    ended = false;
    tempo = static_cast<uint8_t>(startTempo());
    tickCountdown = 1;
    rowsLeft = 1;
    patternDelay = 0;
    globalVolume = song.initialGlobalVolume;
    changeFlags = ChangeTempo;
    visited.reset();
    loopVisited_.clear();
    runningLoops = 0;
    resetChannels();
}

void Player::rewind() {
    // Voices still sounding or fading out belong to the old position.
    mixer->reset();
    restartSong();
    // The tick grid starts again with the song, instead of keeping the countdown of the tick
    // that was running.
    setTickInterval(startTempo());
    playedFrames = 0;
}

void Player::startAt(uint32_t order, const OrderSet& earlier) {
    startOrder_ = order < MaxOrders ? order : 0;
    earlierOrders_ = earlier;
    rewind();
}

void Player::configurePlayback(uint32_t mixingRate) {
    playedFrames = 0;
    mixer->setMixingRate(mixingRate);
    setTickInterval(startTempo());
    mixer->setSignedByDefault(song.signedSamples);
    mixer->setPingPongTurns(quirks.pingPongTurns);
    mixer->setVoiceCount(song.channelCount);
}

bool Player::loadAllSamples(InputStream& stream, bool adpcm) {
    for (uint32_t i = 0; i < song.sampleCount; ++i) {
        Sample* s = sample(i);
        if (!s || s->length == 0)
            continue;
        const uint32_t bits = (s->flags & Sample16Bit) ? 16 : 8;
        uint8_t* data = nullptr;
        if (adpcm && bits == 8 && skipAdpcmMark(stream)) {
            uint32_t held = s->length;
            data = decodeModPlugAdpcm(*mixer, stream, held);
            s->cutToData(held, 1);
            if (!data && held != 0)
                return false;
        } else {
            s->cutToData(ByteReader(stream).left(), bits / 8);
            if (s->length == 0)
                continue;
            data = readSampleData(*mixer, stream, s->length);
            if (!data)
                return false;
        }
        if (!data)
            continue;
        s->data = data;
        s->present = true;
        s->clampLoopToData();
    }
    return true;
}

void Player::releaseAllSamples() {
    for (uint32_t i = 0; i < song.sampleCount; ++i) {
        Sample* s = sample(i);
        if (!s || !s->data)
            continue;
        mixer->freeSampleData(s->data);
        s->data = nullptr;
        s->present = false;
    }
}

void Player::refreshVolumes() {
    for (uint32_t i = 0; i < song.channelCount; ++i) {
        Channel& ch = channel(i);
        mixer->setVoiceVolume(i, static_cast<uint8_t>(mixerVolume(ch, effectiveVolume(ch))));
    }
}

uint32_t Player::renderFrames(uint32_t frames, void* buffer, const RenderFormat* options) {
    // Also without output the voices are mixed at the song's gain: their last frames start the
    // declick of their next stop.
    RenderFormat format = options ? *options : RenderFormat{};
    format.gain = static_cast<uint32_t>(gain);
    const uint32_t done = mixer->render(frames, buffer, &format);
    playedFrames += done;
    return done;
}

void Player::seekToFrame(uint32_t frame) {
    if (frame < playedFrames)
        rewind();
    renderFrames((frame - playedFrames) & ~1u, nullptr, nullptr);
    playedFrames = frame;
}

} // namespace tolva
