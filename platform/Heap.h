#pragma once
// The process heap; every failure is a null result.
#include <cstddef>
#include <cstdint>

namespace tolva::platform {

void* allocate(std::size_t size);
void* allocateZeroed(std::size_t size);
void release(void* block);

// Allocations of the calling thread that have failed so far: a caller that sees the count move
// while it works knows that memory, not its input, stopped it, whatever other threads load.
uint32_t failedAllocations();

// Makes the calling thread's n-th allocation from now on fail (1 = the next one) and the later
// ones succeed again; 0 fails none. Lets a test walk through every allocation of a load or a
// render.
void failNthAllocation(uint32_t n);

// The system's heap, below the failure accounting.
void* systemAllocate(std::size_t size, bool zeroed);

} // namespace tolva::platform
