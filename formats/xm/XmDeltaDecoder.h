#pragma once
#include <cstdint>

namespace tolva {

// XM sample data is stored as differences between successive values; this turns a block of
// `bits` (8 or 16) bit values back into plain signed PCM in place.
void decodeXmDeltas(uint8_t* block, uint32_t size, uint32_t bits);

} // namespace tolva
