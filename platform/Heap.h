#pragma once
// The process heap; every failure is a null result.
#include <cstddef>

namespace tolva::platform {

void* allocate(std::size_t size);
void* allocateZeroed(std::size_t size);
void release(void* block);

} // namespace tolva::platform
