#include "engine/LoopPositions.h"

namespace tolva {

namespace {

std::size_t firstSlot(uint64_t key, std::size_t size) {
    return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & (size - 1);
}

} // namespace

bool LoopPositions::contains(uint64_t key) const {
    if (slots_.empty())
        return false;
    for (std::size_t i = firstSlot(key, slots_.size());; i = (i + 1) & (slots_.size() - 1)) {
        if (slots_[i] == key)
            return true;
        if (slots_[i] == 0)
            return false;
    }
}

bool LoopPositions::insert(uint64_t key) {
    if ((used_ + 1) * 2 > slots_.size() && !grow())
        return false;
    std::size_t i = firstSlot(key, slots_.size());
    while (slots_[i] != 0 && slots_[i] != key)
        i = (i + 1) & (slots_.size() - 1);
    if (slots_[i] == 0)
        ++used_;
    slots_[i] = key;
    return true;
}

// Doubles the table (a power of two) and places every key again.
bool LoopPositions::grow() {
    HeapArray<uint64_t> old = std::move(slots_);
    if (!slots_.resize(old.empty() ? 256 : old.size() * 2)) {
        clear();
        return false;
    }
    used_ = 0;
    for (const uint64_t key : old)
        if (key != 0)
            insert(key);
    return true;
}

void LoopPositions::clear() {
    slots_.clear();
    used_ = 0;
}

} // namespace tolva
