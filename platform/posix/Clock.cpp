#include "platform/Clock.h"

#include <ctime>

namespace tolva::platform {

uint64_t performanceCounter() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<uint64_t>(ts.tv_sec) * 1000000000u + static_cast<uint64_t>(ts.tv_nsec);
}

void sleepMs(uint32_t ms) {
    timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000};
    while (nanosleep(&ts, &ts) != 0) {
    }
}

} // namespace tolva::platform
