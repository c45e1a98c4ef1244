#include "support/SampleStoreMixer.h"

#include <algorithm>
#include <cstring>

namespace tolva::test {

uint8_t* SampleStoreMixer::allocateSampleData(uint32_t size) {
    blocks_.push_back(std::make_unique<std::vector<uint8_t>>(size ? size : 1));
    return blocks_.back()->data();
}

uint8_t* SampleStoreMixer::copySampleData(const void* source, uint32_t size) {
    uint8_t* block = allocateSampleData(size);
    if (size)
        std::memcpy(block, source, size);
    return block;
}

void SampleStoreMixer::freeSampleData(uint8_t* block) {
    std::erase_if(blocks_, [&](const auto& b) { return b->data() == block; });
}

std::vector<uint8_t> SampleStoreMixer::bytesOf(const uint8_t* block) const {
    const auto it = std::ranges::find(blocks_, block, [](const auto& b) { return b->data(); });
    return it == blocks_.end() ? std::vector<uint8_t>{} : **it;
}

} // namespace tolva::test
