#include "engine/ProTrackerEffects.h"
#include "formats/it/ItEffects.h"
#include "formats/it/ItPlayer.h"

#include <algorithm>

namespace tolva {

namespace {

constexpr uint8_t tonePortamentoSpeeds[10] = {0, 1, 4, 8, 16, 32, 64, 96, 128, 255};

// The slide amounts 1..9; 0 repeats the last one of any of the four slides.
uint8_t slideAmount(ItChannel& ch, uint8_t x) {
    if (x == 0)
        x = ch.volumeColumnMemory;
    ch.volumeColumnMemory = x;
    return x;
}

void volumeSlide(ItPlayer& player, ItChannel& ch, uint8_t x, uint8_t param) {
    // Without an amount the parameter would read as a slide of 15.
    if (x != 0)
        itVolumeColumnSlideRow(player, ch, param);
}

// Pitch slides of 4x, remembered as E and F (and G) remember theirs; without an amount the E
// and F memory, which the column slides on every tick even where E and F would slide once,
// finely.
void pitchSlide(ItPlayer& player, ItChannel& ch, uint8_t x, bool up) {
    if (x != 0) {
        ch.portaFineMemory = static_cast<uint8_t>(4 * x);
        if (!player.hasFlag(ItCompatibleTonePortamento))
            ch.portaSpeed = ch.portaFineMemory;
    } else if (ch.portaFineMemory == 0) {
        return;
    }
    ch.apartPitchStep =
        ch.portaFineMemory * (up ? player.quirks.slideUpUnit : player.quirks.slideDownUnit);
    ch.activeEffect = asTick<itApartSlideTick>;
}

void dispatch(ItPlayer& player, ItChannel& ch, uint8_t v) {
    if (v <= 64) {
        ch.volume = v;
        player.changeFlags |= ChangeVolume;
    } else if (v <= 74) {
        const uint8_t x = slideAmount(ch, static_cast<uint8_t>(v - 65));
        volumeSlide(player, ch, x, static_cast<uint8_t>(x << 4 | 0x0F));
    } else if (v <= 84) {
        const uint8_t x = slideAmount(ch, static_cast<uint8_t>(v - 75));
        volumeSlide(player, ch, x, static_cast<uint8_t>(0xF0 | x));
    } else if (v <= 94) {
        const uint8_t x = slideAmount(ch, static_cast<uint8_t>(v - 85));
        volumeSlide(player, ch, x, static_cast<uint8_t>(x << 4));
    } else if (v <= 104) {
        const uint8_t x = slideAmount(ch, static_cast<uint8_t>(v - 95));
        volumeSlide(player, ch, x, x);
    } else if (v <= 114) {
        pitchSlide(player, ch, static_cast<uint8_t>(v - 105), false);
    } else if (v <= 124) {
        pitchSlide(player, ch, static_cast<uint8_t>(v - 115), true);
    } else if (v >= 128 && v <= 192) {
        ch.panning = static_cast<uint8_t>((v - 128) * 255 / 64);
        ch.panSetByCommand();
        ch.surround = 0;
        player.changeFlags |= ChangePanning | ChangeSurround;
    } else if (v >= 193 && v <= 202) {
        itTonePortamentoRow(player, ch, tonePortamentoSpeeds[v - 193]);
        if (ch.activeEffect == slideTick)
            ch.activeEffect = asTick<itColumnPortamentoTick>;
    } else if (v >= VolumeColumnVibrato && v <= VolumeColumnVibrato + 9) {
        const uint8_t x = static_cast<uint8_t>(v - VolumeColumnVibrato);
        // A vibrato speed in the effect column counts already for this column's step.
        const bool speedBeside =
            (ch.cellEffect == ItEffectVibrato || ch.cellEffect == ItEffectFineVibrato) &&
            (ch.cellParam & 0xF0);
        const uint8_t speed = speedBeside ? ch.cellParam : ch.vibratoMemory;
        const uint8_t param = x == 0 ? 0 : static_cast<uint8_t>((speed & 0xF0) | x);
        itVibratoRow(player, ch, param);
    }
}

} // namespace

bool hasColumnPortamento(const ItChannel& ch) {
    return (ch.cellMask & (ItMaskVolume | ItMaskLastVolume)) && ch.volumeColumn >= 193 &&
           ch.volumeColumn <= 202;
}

// The column's running effect is kept apart, so the effect column may start one of its own.
void ItPlayer::runVolumeColumn(ItChannel& ch) {
    const EffectTick running = ch.activeEffect;
    ch.activeEffect = nullptr;
    dispatch(*this, ch, ch.volumeColumn);
    ch.volumeColumnEffect = ch.activeEffect;
    ch.activeEffect = running;
}

} // namespace tolva
