#pragma once
#include <cstdint>

namespace tolva {

// Linear gains for -20 dB .. +20 dB in steps of 20/256 dB; entry 256 is 1.0. Entries are
// whole multiples of 1/65536 so every build computes the same output levels.
class GainTable {
public:
    static constexpr uint32_t Size = 513;
    static constexpr uint32_t Unity = 256;

    GainTable();
    float operator[](uint32_t index) const { return entries_[index]; }

private:
    float entries_[Size];
};

// The table entry nearest to `decibels` (half steps round to even), held to the table's ends.
float ampToGain(float decibels);

} // namespace tolva
