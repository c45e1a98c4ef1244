#include "engine/Random.h"

#include "platform/Clock.h"

namespace tolva {

// One generator per thread, so that songs played side by side do not draw from each other's
// sequence.
namespace {
thread_local bool seeded = false;
thread_local uint16_t state = 0;
thread_local uint16_t mix = 0x7654;
} // namespace

uint16_t nextRandom() {
    if (!seeded) {
        state = static_cast<uint16_t>(platform::performanceCounter());
        seeded = true;
    }
    const uint32_t s = state;
    const uint16_t v = static_cast<uint16_t>(s * s + mix);
    mix = static_cast<uint16_t>((v >> 2) + mix);
    state = v;
    return v;
}

void seedRandom(uint16_t seed) {
    state = seed;
    mix = 0x7654;
    seeded = true;
}

} // namespace tolva
