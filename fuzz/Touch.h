#pragma once
// Reads memory that a record points at, so the sanitizers see any pointer or size that runs
// past what was allocated.
#include "engine/Descriptions.h"

#include <cstddef>
#include <cstdint>

namespace tolva::fuzz {

inline volatile uint8_t touchedSum;

inline void touch(const void* data, std::size_t size) {
    if (!data)
        return;
    const auto* bytes = static_cast<const volatile uint8_t*>(data);
    uint8_t sum = 0;
    for (std::size_t i = 0; i < size; ++i)
        sum = static_cast<uint8_t>(sum + bytes[i]);
    touchedSum = sum;
}

// Sample lengths are in bytes or frames depending on the format; as many bytes as the length
// says are there in either case.
inline void touchSample(const SampleDescription& sample) {
    if (sample.data)
        touch(sample.data, sample.length);
}

} // namespace tolva::fuzz
