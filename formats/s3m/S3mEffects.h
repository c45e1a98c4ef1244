#pragma once
// The S3M command set: command number (A = 1 .. X = 24) to row function. The shared effects
// take the commands that behave as elsewhere; the others carry the S3M rules.
#include "engine/Effect.h"

#include <cstdint>

namespace tolva {

extern const EffectTable s3mEffects;

} // namespace tolva
