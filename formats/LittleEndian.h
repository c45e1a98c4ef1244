#pragma once
// Little-endian fields of module file records.
#include <cstdint>

namespace tolva {

inline uint32_t readLe16(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8;
}

inline uint32_t readLe32(const uint8_t* p) {
    return readLe16(p) | readLe16(p + 2) << 16;
}

} // namespace tolva
