#include "formats/mtm669/Effects669.h"

#include "engine/Channel.h"
#include "engine/ProTrackerEffects.h"

namespace tolva {

namespace {

// Fine slide up, once, by the effect value.
void frequencyAdjustRow(Player& player, Channel& ch, uint8_t param) {
    handlers::extendedCommand.onRow(player, ch, static_cast<uint8_t>(0x10 + param));
}

// A vibrato of depth 1 whose speed is the effect value; value 0 continues the last vibrato.
void vibrato669Row(Player& player, Channel& ch, uint8_t param) {
    if (param == 0) {
        vibratoSetup(player, ch, 0);
        return;
    }
    ch.vibratoDepth = 1;
    ch.vibratoSpeed = param;
    ch.activeEffect = &handlers::vibrato;
}

const EffectPair frequencyAdjust{frequencyAdjustRow, nullptr};
const EffectPair vibrato669{vibrato669Row, nullptr};

const EffectHandler* const handlers669[6] = {
    &handlers::portamentoUp,
    &handlers::portamentoDown,
    &handlers::tonePortamento,
    &frequencyAdjust,
    &vibrato669,
    &handlers::setSpeedTempo,
};

} // namespace

const EffectTable effects669 = {handlers669, 6};

} // namespace tolva
