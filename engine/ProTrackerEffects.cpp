#include "engine/ProTrackerEffects.h"

#include "engine/Channel.h"
#include "engine/Player.h"
#include "engine/Tables.h"

#include <algorithm>

namespace tolva {

namespace {

// A parameter nibble of zero takes the nibble remembered from earlier rows.
uint8_t withMemory(uint8_t param, uint8_t memory) {
    uint8_t x = param >> 4;
    uint8_t y = param & 15;
    if (x == 0)
        x = memory >> 4;
    if (y == 0)
        y = memory & 15;
    return static_cast<uint8_t>(x << 4 | y);
}

// ProTracker slides to the note given with its last tone portamento: a plain note between
// moves the pitch, not the target, and a target once reached is forgotten, so that a later
// slide without a note stays where it is.
void proTrackerSlideTick(Player& player, Channel& ch) {
    slideTick(player, ch);
    if (ch.period != 0 && ch.period + ch.slideOffset == ch.portaTarget)
        ch.portaNote = 0;
}

void proTrackerSlideVolumeTick(Player& player, Channel& ch) {
    volumeSlideTick(player, ch);
    proTrackerSlideTick(player, ch);
}

bool proTrackerSlideSetup(Player& player, Channel& ch, uint8_t param) {
    tonePortamentoSetup(player, ch, param, ch.cellNote != 0 ? ch.note : ch.portaNote);
    return ch.activeEffect == slideTick;
}

} // namespace

// Whether B and D are taken. Where they are taken inside a loop, the rows they lead to belong
// to the loop's passes, not to a return to a played position.
bool jumpTaken(Player& player) {
    if (!player.quirks.jumpsInsideLoops)
        return !player.isPatternLoopActive();
    if (player.changeFlags & ChangeLoopJump)
        return false;
    if (player.isPatternLoopActive() && !player.quirks.loopCountsInPosition)
        player.changeFlags |= ChangeJumpInLoop;
    return true;
}

uint8_t limitVolume(int32_t volume) {
    return static_cast<uint8_t>(std::clamp(volume, 0, 64));
}

void volumeSlideSetup(Channel& ch, uint8_t param) {
    const uint8_t x = param >> 4;
    const uint8_t y = param & 15;
    // Both directions at once is no slide at all.
    if (x != 0 && y != 0)
        ch.volumeSlideStep = 0;
    else
        ch.volumeSlideStep = static_cast<int8_t>(param < 0x10 ? -y : x);
}

void volumeSlideTick(Player& player, Channel& ch) {
    ch.volume = limitVolume(ch.volume + ch.volumeSlideStep);
    player.changeFlags |= ChangeVolume;
}

void slideTick(Player& player, Channel& ch) {
    if (ch.period == 0)
        return;
    const int32_t current = ch.period + ch.slideOffset;
    int32_t next = player.slidePeriod(current, ch.portaStep);
    if (ch.portaTarget >= std::min(current, next) && ch.portaTarget <= std::max(current, next))
        next = ch.portaTarget;
    ch.slideOffset = next - ch.period;
    player.changeFlags |= ChangePitch;
}

void tonePortamentoSetup(Player& player, Channel& ch, uint8_t param) {
    tonePortamentoSetup(player, ch, param, ch.note != 0 ? ch.note : ch.portaNote);
}

void tonePortamentoSetup(Player& player, Channel& ch, uint8_t param, uint32_t note) {
    if (note == 0)
        return;
    ch.portaNote = note;
    const int32_t target = player.noteToPeriod(ch, note);
    const uint8_t speed = param != 0 ? param : ch.portaSpeed;
    ch.portaSpeed = speed;
    player.changeFlags &= ~ChangeStartNote;
    ch.portaTarget = target;
    const int32_t unit = ch.period + ch.slideOffset < target ? player.quirks.slideDownUnit
                                                             : player.quirks.slideUpUnit;
    ch.portaStep = speed * unit;
    ch.activeEffect = slideTick;
}

bool vibratoSetup(Player& player, Channel& ch, uint8_t param) {
    return vibratoSetup(player, ch, param, player.quirks.slideUpUnit);
}

bool vibratoSetup(Player& player, Channel& ch, uint8_t param, int32_t depthUnit) {
    if (ch.note == 0)
        return false;
    const uint8_t p = withMemory(param, ch.vibratoMemory);
    if (p == 0)
        return false;
    ch.vibratoDepth = (p & 15) * depthUnit;
    ch.vibratoMemory = p;
    ch.vibratoSpeed = p >> 4;
    const uint8_t onRow = player.quirks.vibratoOnRow;
    ch.vibratoOffset = onRow == VibratoPlain        ? 0
                       : onRow == VibratoAtPosition ? vibratoValue(player, ch)
                                                    : ch.vibratoOffsetSaved;
    ch.activeEffect = vibratoTick;
    player.changeFlags |= ChangePitch;
    return true;
}

int32_t vibratoValue(Player& player, const Channel& ch) {
    const uint8_t phase = player.quirks.vibratoPhase;
    const int32_t w = waveformValue(ch.vibratoTable, ch.vibratoPosition + phase, player.random);
    return player.quirks.vibratoTowardZero ? w * ch.vibratoDepth / 128 : (w * ch.vibratoDepth) >> 7;
}

void vibratoTick(Player& player, Channel& ch) {
    ch.vibratoOffset = vibratoValue(player, ch);
    ch.vibratoOffsetSaved = ch.vibratoOffset;
    ch.vibratoPosition = (ch.vibratoPosition + ch.vibratoSpeed) % WaveformLength;
    player.changeFlags |= ChangePitch;
}

void tremoloSetup(Channel& ch, uint8_t param) {
    const uint8_t p = withMemory(param, ch.tremoloMemory);
    if (p == 0)
        return;
    ch.tremoloMemory = p;
    ch.tremoloDepth = static_cast<int8_t>(p & 15);
    ch.tremoloSpeed = p >> 4;
    ch.tremoloOffset = ch.tremoloOffsetSaved;
    ch.activeEffect = tremoloTick;
}

void tremoloTick(Player& player, Channel& ch) {
    const int32_t w = waveformValue(ch.tremoloTable, ch.tremoloPosition, player.random);
    ch.tremoloOffset =
        static_cast<int8_t>((w * ch.tremoloDepth) >> (6 + player.quirks.tremoloShift));
    ch.tremoloOffsetSaved = ch.tremoloOffset;
    ch.tremoloPosition = (ch.tremoloPosition + ch.tremoloSpeed) % WaveformLength;
    player.changeFlags |= ChangeVolume;
}

void setPanning(Player& player, Channel& ch, uint8_t panning) {
    if (!player.modPanningEnabled && player.quirks.proTrackerOptions)
        return;
    ch.panning = panning;
    ch.surround = 0;
    player.changeFlags |= ChangePanning | ChangeSurround;
}

void patternLoop(Player& player, Channel& ch, uint8_t count) {
    const uint8_t row = static_cast<uint8_t>(player.currentRow());
    if (count == 0) {
        ch.loopRow = row;
        return;
    }
    if (ch.loopCounter == 0) {
        ch.loopCounter = static_cast<uint8_t>(count + 1);
        ++player.runningLoops;
    }
    if (--ch.loopCounter != 0) {
        // Replay the order being played; stepping back from orderIndex would step back once
        // per channel when several loops jump on the same row.
        player.orderIndex = player.songPosition / 256;
        player.changeFlags |= ChangeJumpPending | ChangeLoopJump;
        player.nextRow = ch.loopRow;
        return;
    }
    --player.runningLoops;
    if (!player.quirks.loopRowsStay)
        ch.loopRow = static_cast<uint8_t>(row + 1);
}

namespace {

void retriggerTick(Player& player, Channel& ch) {
    if (--ch.effectCounter != 0)
        return;
    ch.effectCounter = ch.effectReload;
    player.changeFlags |= ChangeStartNote;
}

void retriggerRow(Player& player, Channel& ch, uint8_t param) {
    if (param == 0) {
        player.changeFlags |= ChangeStartNote;
        return;
    }
    ch.effectCounter = param;
    ch.effectReload = param;
    ch.activeEffect = retriggerTick;
    if (player.quirks.retriggerOnFirstTick && ch.cellNote == 0 && !player.repeatingRow)
        player.changeFlags |= ChangeStartNote;
}

void noteCutTick(Player& player, Channel& ch) {
    if (--ch.effectCounter != 0)
        return;
    if (player.quirks.noteCutStopsVoice) {
        player.changeFlags |= ChangeStopVoice;
    } else {
        ch.volume = 0;
        player.changeFlags |= ChangeVolume;
    }
}

void noteDelayTick(Player& player, Channel& ch) {
    if (--ch.effectCounter == 0 && !player.silentScan)
        player.triggerNote(ch);
}

void noteDelayRow(Player&, Channel& ch, uint8_t param) {
    if (param == 0)
        return;
    ch.effectCounter = param;
    ch.effectReload = param;
    ch.activeEffect = noteDelayTick;
}

void tonePortamentoVolumeSlideRow(Player& player, Channel& ch, uint8_t param) {
    uint8_t p = param;
    if (p == 0)
        p = ch.volumeSlideMemory;
    if (p == 0)
        p = ch.portaSpeed;
    if (p == 0)
        return;
    ch.volumeSlideMemory = p;
    volumeSlideSetup(ch, p);
    ch.activeEffect =
        proTrackerSlideSetup(player, ch, 0) ? proTrackerSlideVolumeTick : volumeSlideTick;
}

void vibratoVolumeSlideRow(Player& player, Channel& ch, uint8_t param) {
    uint8_t p = param;
    if (p == 0)
        p = ch.volumeSlideMemory;
    if (p == 0) {
        if (ch.vibratoMemory == 0)
            return;
        p = ch.vibratoMemory & 15;
    }
    ch.volumeSlideMemory = p;
    volumeSlideSetup(ch, p);
    vibratoSetup(player, ch, 0);
    ch.activeEffect = vibratoVolumeSlideTick;
}

void volumeSlideRow(Player&, Channel& ch, uint8_t param) {
    volumeSlideSetup(ch, param);
    ch.activeEffect = volumeSlideTick;
}

} // namespace

void arpeggioRow(Player&, Channel& ch, uint8_t param) {
    if (param == 0)
        return;
    ch.effectCounter = param >> 4;
    ch.effectReload = param & 15;
    ch.effectExtra = 0;
    ch.activeEffect = arpeggioTick;
}

void arpeggioTick(Player& player, Channel& ch) {
    if (ch.note == 0)
        return;
    ch.arpeggioOffset = player.noteToPeriod(ch, ch.note + ch.effectCounter) - ch.period;
    const uint8_t first = ch.effectCounter;
    ch.effectCounter = ch.effectReload;
    ch.effectReload = ch.effectExtra;
    ch.effectExtra = first;
    player.changeFlags |= ChangePitch;
}

void portamentoUpRow(Player& player, Channel& ch, uint8_t param) {
    ch.portaTarget = player.song.minPeriod;
    ch.portaStep = param * player.quirks.slideUpUnit;
    ch.activeEffect = slideTick;
}

void portamentoDownRow(Player& player, Channel& ch, uint8_t param) {
    ch.portaTarget = player.song.maxPeriod;
    ch.portaStep = param * player.quirks.slideDownUnit;
    ch.activeEffect = slideTick;
}

void tonePortamentoRow(Player& player, Channel& ch, uint8_t param) {
    if (proTrackerSlideSetup(player, ch, param))
        ch.activeEffect = proTrackerSlideTick;
}

void tonePortamentoVolumeSlideTick(Player& player, Channel& ch) {
    volumeSlideTick(player, ch);
    slideTick(player, ch);
}

void vibratoRow(Player& player, Channel& ch, uint8_t param) {
    vibratoSetup(player, ch, param);
}

void vibratoVolumeSlideTick(Player& player, Channel& ch) {
    volumeSlideTick(player, ch);
    vibratoTick(player, ch);
}

void tremoloRow(Player&, Channel& ch, uint8_t param) {
    tremoloSetup(ch, param);
}

void setPanningRow(Player& player, Channel& ch, uint8_t param) {
    setPanning(player, ch, param);
}

void sampleOffsetRow(Player&, Channel& ch, uint8_t param) {
    const uint8_t p = param != 0 ? param : ch.offsetMemory;
    ch.offsetMemory = p;
    ch.sampleOffset = (ch.sampleOffset & 0xFFFF0000u) | static_cast<uint32_t>(p) << 8;
}

void positionJumpRow(Player& player, Channel&, uint8_t param) {
    if (!jumpTaken(player))
        return;
    // Taken even without backward jumps, so the rest of the pattern stays unheard as in the
    // tracker; the order fetch goes on after the jump's order when the target was played. A
    // jump past the order list reaches its end (the slot after the last always ends it).
    player.changeFlags |= ChangeJumpPending;
    player.orderAfterJump = static_cast<int32_t>(player.orderIndex);
    player.orderIndex = param < player.song.orderCount ? param : MaxOrders;
    // The new order starts at its top unless a break in a later channel says otherwise.
    if (player.quirks.laterChannelDecides)
        player.nextRow = 0;
}

void setChannelVolumeRow(Player& player, Channel& ch, uint8_t param) {
    // The trackers store no volume above 64, so a slide after C80 starts from 64.
    ch.volume = param > 64 ? 64 : param;
    player.changeFlags |= ChangeVolume;
}

void patternBreakRow(Player& player, Channel&, uint8_t param) {
    if (!jumpTaken(player))
        return;
    uint32_t row = player.quirks.bcdPatternBreak ? (param >> 4) * 10u + (param & 15) : param;
    if (row >= player.song.rowsPerPattern)
        row = 0;
    player.changeFlags |= ChangeJumpPending;
    player.nextRow = row;
}

namespace {

// E4x and E7x: the waveform, and whether a new note keeps its position (bit 2).
void setWaveform(Channel& ch, uint8_t y, uint8_t keepBit, const int16_t*& table) {
    ch.waveControl = static_cast<uint8_t>((ch.waveControl & ~keepBit) | ((y & 4) ? keepBit : 0));
    table = waveformTables[y & 3];
}

void setFinetune(Player& player, Channel& ch, uint8_t y) {
    if (player.quirks.finetuneOnChannel) {
        // This row's note included.
        ch.finetune = y;
    } else if (ch.sample) {
        // The sample itself changes: every later note of it, on any channel, uses it.
        ch.sample->finetune = static_cast<int8_t>(y);
    }
}

void patternDelayRow(Player& player, uint8_t y) {
    // A new row's delay only; a repeat keeps the count running.
    if (player.repeatingRow)
        return;
    if (player.quirks.laterChannelDecides ||
        (player.quirks.firstDelayCounts ? !player.patternDelaySet : player.patternDelay == 0))
        player.patternDelay = y;
    player.patternDelaySet = true;
}

} // namespace

void extendedCommandRow(Player& player, Channel& ch, uint8_t param) {
    const uint8_t y = param & 15;
    switch (param >> 4) {
    case 0x1:
        ch.slideOffset += y * player.quirks.slideUpUnit;
        player.changeFlags |= ChangePitch;
        break;
    case 0x2:
        ch.slideOffset += y * player.quirks.slideDownUnit;
        player.changeFlags |= ChangePitch;
        break;
    case 0x4:
        setWaveform(ch, y, WaveKeepVibrato, ch.vibratoTable);
        break;
    case 0x5:
        setFinetune(player, ch, y);
        break;
    case 0x6:
        patternLoop(player, ch, y);
        break;
    case 0x7:
        setWaveform(ch, y, WaveKeepTremolo, ch.tremoloTable);
        break;
    case 0x8:
        setPanning(player, ch, static_cast<uint8_t>(y * 16));
        break;
    case 0x9:
        retriggerRow(player, ch, y);
        break;
    case 0xA:
        ch.volume = limitVolume(ch.volume + y);
        player.changeFlags |= ChangeVolume;
        break;
    case 0xB:
        ch.volume = limitVolume(ch.volume - y);
        player.changeFlags |= ChangeVolume;
        break;
    case 0xC:
        if (y == 0) {
            ch.volume = 0;
            player.changeFlags |= ChangeVolume;
        } else {
            ch.effectCounter = y;
            ch.activeEffect = noteCutTick;
        }
        break;
    case 0xD:
        noteDelayRow(player, ch, y);
        break;
    case 0xE:
        patternDelayRow(player, y);
        break;
    default:
        break;
    }
}

void setSpeedTempoRow(Player& player, Channel&, uint8_t param) {
    if (param == 0)
        return;
    if (param < 0x20 || (player.oldProTrackerMode && player.quirks.proTrackerOptions)) {
        player.speed = param;
        player.tickCountdown = param;
    } else {
        player.tempo = param;
        player.changeFlags |= ChangeTempo;
    }
}

const EffectRow proTrackerRows[16] = {
    arpeggioRow,           portamentoUpRow, portamentoDownRow,
    tonePortamentoRow,     vibratoRow,      tonePortamentoVolumeSlideRow,
    vibratoVolumeSlideRow, tremoloRow,      setPanningRow,
    sampleOffsetRow,       volumeSlideRow,  positionJumpRow,
    setChannelVolumeRow,   patternBreakRow, extendedCommandRow,
    setSpeedTempoRow,
};

const EffectTable proTrackerEffects = proTrackerRows;

} // namespace tolva
