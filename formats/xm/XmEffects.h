#pragma once
// The FastTracker 2 effect column: effect numbers 0..35 (digits, then letters A..Z). Most
// commands keep a parameter memory of their own, so they get row functions of their own here.
#include "engine/Effect.h"

#include <cstdint>

namespace tolva {

class Player;
struct XmChannel;

// FastTracker 2's vibrato lowers the pitch on the first half of its wave: the depth counts in
// periods, which grow downwards.
constexpr int32_t XmVibratoDepthUnit = 4;

// 3xx, also run by the volume column's tone portamento.
void xmTonePortamentoRow(Player& player, XmChannel& channel, uint8_t param);
// Txy's tick, which the player runs without the volume commands' rule.
void xmTremorTick(Player& player, XmChannel& channel);

extern const EffectTable xmEffects;

} // namespace tolva
