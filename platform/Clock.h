#pragma once
#include <cstdint>

namespace tolva::platform {

// Free-running high-resolution counter (seeds the random generator).
uint64_t performanceCounter();
void sleepMs(uint32_t ms);

} // namespace tolva::platform
