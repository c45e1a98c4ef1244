#include "engine/ScreamEffects.h"

#include "engine/Channel.h"
#include "engine/Player.h"
#include "engine/ProTrackerEffects.h"

#include <algorithm>

namespace tolva {

namespace {

void fineSlide(Player& player, Channel& ch, int32_t delta) {
    ch.slideOffset = player.slidePeriod(ch.period + ch.slideOffset, delta) - ch.period;
    player.changeFlags |= ChangePitch;
}

void finePortamento(Player& player, Channel& ch, uint8_t param, int32_t unit, int32_t target) {
    const uint8_t p = param != 0 ? param : ch.portaFineMemory;
    ch.portaFineMemory = p;
    if (p >= 0xF0) {
        fineSlide(player, ch, (p & 15) * unit);
    } else if (p >= 0xE0) {
        fineSlide(player, ch, (p & 15) * (unit >> 2));
    } else {
        ch.portaTarget = target;
        ch.portaStep = p * unit;
        ch.activeEffect = slideTick;
    }
}

// Volume changes of the retrigger: additions -16..16, or multipliers in 1/16384 (all larger).
constexpr int32_t retrigFactors[16] = {0, -1, -2, -4, -8, -16, 0x2AAA, 0x2000,
                                       0, 1,  2,  4,  8,  16,  0x6000, 0x8000};
constexpr int32_t LargestRetrigAddition = 16;

// Audible for x + 1 ticks, muted for y + 1, and so on; each switch loads the phase that begins
// and remembers the length of the one after it.
void tremorTick(Player& player, ScreamChannel& ch) {
    if (--ch.tremorCountdown != 0)
        return;
    ch.tremorOn ^= 1;
    ch.tremorCountdown = ch.tremorNext;
    ch.tremorNext =
        static_cast<uint8_t>(ch.tremorOn ? (ch.tremorMemory & 15) + 1 : (ch.tremorMemory >> 4) + 1);
    ch.tremoloOffset = static_cast<int8_t>(ch.tremorOn ? 0 : -std::min<int32_t>(ch.volume, 64));
    player.changeFlags |= ChangeVolume;
}

} // namespace

void tonePortamentoSetupKeepingStart(Player& player, Channel& ch, uint8_t param) {
    const uint32_t starting = player.changeFlags & ChangeStartNote;
    tonePortamentoSetup(player, ch, param);
    player.changeFlags |= starting;
}

void finePortamentoDownRow(Player& player, Channel& ch, uint8_t param) {
    finePortamento(player, ch, param, player.quirks.slideDownUnit, player.song.maxPeriod);
}

void finePortamentoUpRow(Player& player, Channel& ch, uint8_t param) {
    finePortamento(player, ch, param, player.quirks.slideUpUnit, player.song.minPeriod);
}

void tremorRow(Player&, ScreamChannel& ch, uint8_t param) {
    const uint8_t p = param != 0 ? param : ch.tremorMemory;
    if (p == 0)
        return;
    ch.tremorMemory = p;
    ch.tremorCountdown = static_cast<uint8_t>((p >> 4) + 1);
    ch.tremorNext = static_cast<uint8_t>((p & 15) + 1);
    ch.tremorOn = 1;
    ch.activeEffect = asTick<tremorTick>;
}

void retriggerVolumeSlideSetup(Player&, ScreamChannel& ch, uint8_t param, bool restartCounter) {
    const uint8_t p = param != 0 ? param : ch.retrigMemory;
    ch.retrigMemory = p;
    ch.retrigFactor = static_cast<uint32_t>(retrigFactors[p >> 4]);
    ch.retrigReload = p & 15;
    if (restartCounter)
        ch.retrigCounter = p & 15;
    ch.activeEffect = asTick<retriggerVolumeSlideTick>;
}

// A counter of 0 (a zero interval) retriggers on every tick.
void retriggerVolumeSlideTick(Player& player, ScreamChannel& ch) {
    if (ch.retrigCounter > 1) {
        --ch.retrigCounter;
        return;
    }
    ch.retrigCounter = ch.retrigReload;
    const int32_t factor = static_cast<int32_t>(ch.retrigFactor);
    if (factor >= -LargestRetrigAddition && factor <= LargestRetrigAddition)
        ch.volume = limitVolume(ch.volume + factor);
    else
        ch.volume = limitVolume((ch.volume * factor + 8192) >> 14);
    player.changeFlags |= ChangeStartNote | ChangeVolume;
}

} // namespace tolva
