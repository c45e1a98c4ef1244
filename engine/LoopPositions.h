#pragma once
#include "platform/HeapArray.h"

#include <cstdint>

namespace tolva {

// Rows played while pattern loops count, each kept with the counts it was reached at: a song
// that reaches such a row again with other counts is still in a loop's pass, not repeating.
class LoopPositions {
public:
    // Notes `key` (not 0); false when memory runs short, and then nothing is kept.
    bool insert(uint64_t key);
    bool contains(uint64_t key) const;
    void clear();

private:
    bool grow();

    HeapArray<uint64_t> slots_; // open addressing, 0 marks a free slot
    std::size_t used_ = 0;
};

} // namespace tolva
