#include "platform/Heap.h"

#include <atomic>

namespace tolva::platform {

namespace {

std::atomic<uint32_t> failCountdown{0};
std::atomic<uint32_t> failures{0};

bool failureDue() {
    uint32_t left = failCountdown.load(std::memory_order_relaxed);
    while (left != 0 && !failCountdown.compare_exchange_weak(left, left - 1))
        ;
    return left == 1;
}

void* counted(std::size_t size, bool zeroed) {
    void* block = failureDue() ? nullptr : systemAllocate(size ? size : 1, zeroed);
    if (!block)
        failures.fetch_add(1, std::memory_order_relaxed);
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
    return failures.load(std::memory_order_relaxed);
}
void failNthAllocation(uint32_t n) {
    failCountdown.store(n);
}

} // namespace tolva::platform
