#include "engine/Random.h"

#include "platform/Clock.h"

namespace tolva {

uint16_t Random::next() {
    const uint32_t s = state_;
    const uint16_t v = static_cast<uint16_t>(s * s + mix_);
    mix_ = static_cast<uint16_t>((v >> 2) + mix_);
    state_ = v;
    return v;
}

uint16_t clockSeed() {
    return static_cast<uint16_t>(platform::performanceCounter());
}

} // namespace tolva
