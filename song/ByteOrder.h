#pragma once
// Multi-byte fields of file records, read and written byte by byte so that the machine's own
// byte order never matters.
#include <cstdint>

namespace tolva {

inline uint16_t readLe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t readLe32(const uint8_t* p) {
    return readLe16(p) | static_cast<uint32_t>(readLe16(p + 2)) << 16;
}

inline uint16_t readBe16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

inline uint32_t readBe32(const uint8_t* p) {
    return static_cast<uint32_t>(readBe16(p)) << 16 | readBe16(p + 2);
}

inline void writeLe16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

inline void writeLe32(uint8_t* p, uint32_t v) {
    writeLe16(p, static_cast<uint16_t>(v));
    writeLe16(p + 2, static_cast<uint16_t>(v >> 16));
}

} // namespace tolva
