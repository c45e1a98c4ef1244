#include "engine/Random.h"
#include "engine/Tables.h"
#include "formats/it/ItEffects.h"
#include "formats/it/ItPlayer.h"

#include <algorithm>

namespace tolva {

namespace {

constexpr int32_t PanUnitsPerStep = 4;

void movePanning(ItPlayer& player, ItChannel& ch, int32_t amount) {
    ch.panning = static_cast<uint8_t>(std::clamp(ch.panning + amount, 0, 255));
    player.changeFlags |= ChangePanning;
}

void panningSlideTick(ItPlayer& player, ItChannel& ch) {
    movePanning(player, ch, ch.slideStep);
}

} // namespace

// Up means left: P x0 moves left, P 0x right.
void itPanningSlideRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    ch.panFromDefault = false;
    if (param == 0)
        param = ch.panSlideMemory;
    ch.panSlideMemory = param;
    const ItSlide slide = itSlide(param);
    const int32_t amount = -PanUnitsPerStep * slide.amount;
    if (slide.kind == ItSlide::Fine) {
        movePanning(player, ch, amount);
    } else if (slide.kind == ItSlide::Normal) {
        ch.slideStep = static_cast<int8_t>(amount);
        if (slide.atOnce)
            panningSlideTick(player, ch);
        ch.activeEffect = asTick<panningSlideTick>;
    }
}

namespace {

constexpr uint32_t PanbrelloPositions = 256;

void panbrelloTick(ItPlayer& player, ItChannel& ch) {
    if (ch.panbrelloTable[0] == RandomWaveMarker) {
        // The random waveform holds each value for `speed` ticks.
        if (--ch.panbrelloCountdown == 0) {
            const int32_t r = player.random.next();
            ch.panbrelloValue = ((((r * 0x1FE) >> 16) - 0xFF) * ch.panbrelloDepth) >> 5;
            ch.panbrelloCountdown = ch.panbrelloSpeed;
        }
    } else {
        ch.panbrelloValue = (ch.panbrelloTable[ch.panbrelloPosition >> 2] * ch.panbrelloDepth) >> 5;
    }
    ch.panOffset = ch.panbrelloValue;
    ch.panbrelloPosition = (ch.panbrelloPosition + ch.panbrelloSpeed) % PanbrelloPositions;
    player.changeFlags |= ChangePanning;
}

} // namespace

void itPanbrelloRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    uint8_t speed = param >> 4;
    uint8_t depth = param & 15;
    if (speed == 0)
        speed = ch.panbrelloMemory >> 4;
    if (depth == 0)
        depth = ch.panbrelloMemory & 15;
    const uint8_t p = static_cast<uint8_t>(speed << 4 | depth);
    if (p == 0)
        return;
    ch.panbrelloMemory = p;
    ch.panbrelloDepth = depth;
    if (speed != 0)
        ch.panbrelloSpeed = speed;
    ch.panbrelloCountdown = 1;
    ch.activeEffect = asTick<panbrelloTick>;
    ch.panOffset = ch.panbrelloValue;
    player.changeFlags |= ChangePanning;
}

} // namespace tolva
