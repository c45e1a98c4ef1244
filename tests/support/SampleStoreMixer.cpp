#include "support/SampleStoreMixer.h"

#include "song/InputStream.h"

#include <algorithm>
#include <cstring>

namespace tolva::test {

uint8_t* SampleStoreMixer::copySampleData(const void* source, uint32_t size) {
    blocks_.push_back(std::make_unique<std::vector<uint8_t>>(size ? size : 1));
    if (size)
        std::memcpy(blocks_.back()->data(), source, size);
    return blocks_.back()->data();
}

uint8_t* SampleStoreMixer::loadSampleData(InputStream& stream, uint32_t size, uint32_t convA,
                                          uint32_t convB, SampleConverter* converter) {
    auto block = std::make_unique<std::vector<uint8_t>>(size ? size : 1);
    if (stream.read(size, block->data()))
        return nullptr;
    if (converter)
        converter->convert(block->data(), size, convA, convB);
    blocks_.push_back(std::move(block));
    return blocks_.back()->data();
}

void SampleStoreMixer::freeSampleData(uint8_t* block) {
    std::erase_if(blocks_, [&](const auto& b) { return b->data() == block; });
}

std::vector<uint8_t> SampleStoreMixer::bytesOf(const uint8_t* block) const {
    const auto it = std::ranges::find(blocks_, block, [](const auto& b) { return b->data(); });
    return it == blocks_.end() ? std::vector<uint8_t>{} : **it;
}

} // namespace tolva::test
