#pragma once
// The six effects of a 669 cell; most are the shared ProTracker handlers.
#include "engine/EffectHandler.h"

namespace tolva {

// Fine slide up, once, by the effect value.
class FrequencyAdjust : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

// A vibrato of depth 1 whose speed is the effect value; value 0 continues the last vibrato.
class Vibrato669 : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

// Effects 0..5: portamento up and down, tone portamento, frequency adjust, vibrato, speed.
extern const EffectTable effects669;

} // namespace tolva
