#include "formats/xm/XmDeltaDecoder.h"

#include "song/ByteOrder.h"

namespace tolva {

void decodeXmDeltas(uint8_t* block, uint32_t size, uint32_t bits) {
    if (bits == 8) {
        uint8_t v = 0;
        for (uint32_t i = 0; i < size; ++i) {
            v = static_cast<uint8_t>(v + block[i]);
            block[i] = v;
        }
    } else if (bits == 16) {
        // An odd last byte is no whole value and keeps what the file had.
        uint16_t v = 0;
        for (uint32_t i = 0; i + 1 < size; i += 2) {
            v = static_cast<uint16_t>(v + readLe16(block + i));
            writeLe16(block + i, v);
        }
    }
}

} // namespace tolva
