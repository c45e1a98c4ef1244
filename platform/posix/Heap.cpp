#include "platform/Heap.h"

#include <cstdlib>

namespace tolva::platform {

void* allocate(std::size_t size) {
    return std::malloc(size ? size : 1);
}
void* allocateZeroed(std::size_t size) {
    return std::calloc(1, size ? size : 1);
}
void release(void* block) {
    std::free(block);
}

} // namespace tolva::platform
