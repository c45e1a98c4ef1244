#include "platform/Heap.h"

namespace tolva::platform {

namespace {

// Per thread, so that songs loaded side by side do not see each other's failures.
thread_local uint32_t failCountdown = 0;
thread_local uint32_t failures = 0;

bool failureDue() {
    return failCountdown != 0 && --failCountdown == 0;
}

void* counted(std::size_t size, bool zeroed) {
    void* block = failureDue() ? nullptr : systemAllocate(size ? size : 1, zeroed);
    if (!block)
        ++failures;
    return block;
}

} // namespace

void* allocate(std::size_t size) {
    return counted(size, false);
}
void* allocateZeroed(std::size_t size) {
    return counted(size, true);
}
uint32_t failedAllocations() {
    return failures;
}
void failNthAllocation(uint32_t n) {
    failCountdown = n;
}

} // namespace tolva::platform
