#include "platform/Heap.h"

#include <cstdlib>

namespace tolva::platform {

void* systemAllocate(std::size_t size, bool zeroed) {
    return zeroed ? std::calloc(1, size) : std::malloc(size);
}
void release(void* block) {
    std::free(block);
}

} // namespace tolva::platform
