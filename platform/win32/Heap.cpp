#include "platform/Heap.h"

#include <windows.h>

namespace tolva::platform {

void* allocate(std::size_t size) {
    return HeapAlloc(GetProcessHeap(), 0, size ? size : 1);
}
void* allocateZeroed(std::size_t size) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size ? size : 1);
}
void release(void* block) {
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

} // namespace tolva::platform
