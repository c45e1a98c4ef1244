#pragma once
// The S3M command set: command number (A = 1 .. X = 24) to handler. Shared handlers take the
// commands that behave as elsewhere; the others carry the S3M rules.
#include "engine/EffectHandler.h"

#include <cstdint>

namespace tolva {

extern const EffectTable s3mEffects;

} // namespace tolva
