#include "platform/Heap.h"

#include <windows.h>

namespace tolva::platform {

void* systemAllocate(std::size_t size, bool zeroed) {
    return HeapAlloc(GetProcessHeap(), zeroed ? HEAP_ZERO_MEMORY : 0, size);
}
void release(void* block) {
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}

} // namespace tolva::platform
