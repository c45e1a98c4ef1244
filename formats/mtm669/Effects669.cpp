#include "formats/mtm669/Effects669.h"

#include "engine/Channel.h"
#include "engine/ProTrackerEffects.h"

namespace tolva {

namespace {

const FrequencyAdjust frequencyAdjust;
const Vibrato669 vibrato669;

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

void FrequencyAdjust::onRow(Player& player, Channel& ch, uint8_t param) const {
    handlers::extendedCommand.onRow(player, ch, static_cast<uint8_t>(0x10 + param));
}

void Vibrato669::onRow(Player& player, Channel& ch, uint8_t param) const {
    if (param == 0) {
        vibratoSetup(player, ch, 0);
        return;
    }
    ch.vibratoDepth = 1;
    ch.vibratoSpeed = param;
    ch.activeEffect = &handlers::vibrato;
}

} // namespace tolva
