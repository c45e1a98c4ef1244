#include "formats/xm/XmVolumeColumn.h"

#include "engine/ProTrackerEffects.h"
#include "formats/xm/XmEffects.h"
#include "formats/xm/XmPlayer.h"

#include <algorithm>

namespace tolva {

namespace {

void volumeColumnSlideDownTick(Player& player, XmChannel& ch) {
    ch.volume = limitVolume(ch.volume - ch.volumeColumnSlideStep);
    player.changeFlags |= ChangeVolume;
}

void volumeColumnSlideUpTick(Player& player, XmChannel& ch) {
    ch.volume = limitVolume(ch.volume + ch.volumeColumnSlideStep);
    player.changeFlags |= ChangeVolume;
}

} // namespace

void runVolumeColumn(XmPlayer& player, XmChannel& ch) {
    const uint8_t v = ch.volumeColumn;
    const uint8_t y = v & 15;
    if (v >= 0x10 && v <= 0x50) {
        ch.volume = static_cast<uint8_t>(v - 0x10);
        player.changeFlags |= ChangeVolume;
        return;
    }
    switch (v >> 4) {
    case 0x6:
        ch.volumeColumnSlideStep = y;
        ch.activeEffect = asTick<volumeColumnSlideDownTick>;
        break;
    case 0x7:
        ch.volumeColumnSlideStep = y;
        ch.activeEffect = asTick<volumeColumnSlideUpTick>;
        break;
    case 0x8:
        extendedCommandRow(player, ch, static_cast<uint8_t>(0xB0 | y));
        break;
    case 0x9:
        extendedCommandRow(player, ch, static_cast<uint8_t>(0xA0 | y));
        break;
    case 0xA:
        ch.vibratoSpeed = y;
        ch.vibratoMemory = static_cast<uint8_t>((ch.vibratoMemory & 15) | y << 4);
        break;
    case 0xB:
        vibratoSetup(player, ch, y, XmVibratoDepthUnit);
        break;
    case 0xC:
        setPanning(player, ch, static_cast<uint8_t>(y * 16));
        break;
    case 0xD:
        setPanning(player, ch, static_cast<uint8_t>(std::max(ch.panning - y * 16, 0)));
        break;
    case 0xE:
        setPanning(player, ch, static_cast<uint8_t>(std::min(ch.panning + y * 16, 255)));
        break;
    case 0xF: {
        // Beside 3xx this speed replaces the effect's and counts twice, also for the
        // rows that reuse it; the effect column then does the sliding.
        // A delayed note starts all the same, and the slide goes on as it went: same target,
        // same speed.
        const bool besideEffect = ch.cellEffect == 3;
        const bool delayed = isNoteDelayed(ch);
        if (y != 0 && !delayed)
            ch.portaSpeed = static_cast<uint8_t>(std::min(y * (besideEffect ? 32 : 16), 255));
        const uint32_t starting = delayed ? player.changeFlags & ChangeStartNote : 0;
        if (!besideEffect)
            xmTonePortamentoRow(player, ch, 0);
        player.changeFlags |= starting;
        break;
    }
    default:
        break;
    }
    ch.volumeColumnEffect = ch.activeEffect;
    ch.activeEffect = nullptr;
}

} // namespace tolva
