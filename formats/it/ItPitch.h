#pragma once
#include <cstdint>

namespace tolva {

// value x 2^(e/768), with the exponent's fraction taken from the pitch table; 0 when the
// result does not fit in 32 bits.
uint32_t itPitchScale(uint32_t value, int32_t e);

} // namespace tolva
