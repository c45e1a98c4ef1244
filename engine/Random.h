#pragma once
#include <cstdint>

namespace tolva {

// The players' pseudo-random generator, one per thread; its first call seeds it from the clock.
uint16_t nextRandom();

// Fixes the state of the calling thread's generator, so that a test can predict the sequence.
void seedRandom(uint16_t seed);

} // namespace tolva
