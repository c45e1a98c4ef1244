#include "engine/Random.h"

#include "platform/Clock.h"

namespace tolva {

uint16_t clockSeed() {
    return static_cast<uint16_t>(platform::performanceCounter());
}

} // namespace tolva
