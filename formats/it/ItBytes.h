#pragma once
// Little-endian fields of IT file records.
#include <cstdint>

namespace tolva {

inline uint16_t itWord(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

inline uint32_t itLong(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24;
}

// A 26-byte name as the lists show it: NUL bytes read as spaces, 25 characters kept.
inline void copyItName(char* out, const uint8_t* name) {
    for (int i = 0; i < 25; ++i)
        out[i] = name[i] ? static_cast<char>(name[i]) : ' ';
    out[25] = 0;
}

} // namespace tolva
