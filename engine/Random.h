#pragma once
#include <cstdint>

namespace tolva {

// The players' shared pseudo-random generator; the first call seeds it from the clock.
uint16_t nextRandom();

// Fixes the state, so that a test can predict the sequence.
void seedRandom(uint16_t seed);

} // namespace tolva
