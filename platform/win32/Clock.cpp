#include "platform/Clock.h"

#include <windows.h>

namespace tolva::platform {

uint64_t performanceCounter() {
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return static_cast<uint64_t>(value.QuadPart);
}

void sleepMs(uint32_t ms) {
    Sleep(ms);
}

} // namespace tolva::platform
