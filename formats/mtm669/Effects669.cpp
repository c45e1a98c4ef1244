#include "formats/mtm669/Effects669.h"

#include "engine/Channel.h"
#include "engine/ProTrackerEffects.h"

namespace tolva {

namespace {

// Fine slide up, once, by the effect value.
void frequencyAdjustRow(Player& player, Channel& ch, uint8_t param) {
    extendedCommandRow(player, ch, static_cast<uint8_t>(0x10 + param));
}

// A vibrato of depth 1 whose speed is the effect value; value 0 continues the last vibrato.
void vibrato669Row(Player& player, Channel& ch, uint8_t param) {
    if (param == 0) {
        vibratoSetup(player, ch, 0);
        return;
    }
    ch.vibratoDepth = 1;
    ch.vibratoSpeed = param;
    ch.activeEffect = vibratoTick;
}

// Slides to the channel's note, whichever row gave it.
void tonePortamento669Row(Player& player, Channel& ch, uint8_t param) {
    tonePortamentoSetup(player, ch, param);
}

const EffectRow rows669[6] = {
    portamentoUpRow,    portamentoDownRow, tonePortamento669Row,
    frequencyAdjustRow, vibrato669Row,     setSpeedTempoRow,
};

} // namespace

const EffectTable effects669 = rows669;

} // namespace tolva
