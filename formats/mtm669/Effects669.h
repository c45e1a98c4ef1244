#pragma once
// The six effects of a 669 cell; most are the shared ProTracker ones.
#include "engine/Effect.h"

namespace tolva {

// Effects 0..5: portamento up and down, tone portamento, frequency adjust, vibrato, speed.
extern const EffectTable effects669;

} // namespace tolva
