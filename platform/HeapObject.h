#pragma once
// A class deriving from this is made with `new (std::nothrow)` only, from the process heap, so
// that its allocation fails like every other one: counted, injectable and never fatal.
#include "platform/Heap.h"

#include <new>

namespace tolva {

struct HeapObject {
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
        return platform::allocate(size);
    }
    static void operator delete(void* block) noexcept { platform::release(block); }
    static void* operator new(std::size_t) = delete;
};

} // namespace tolva
