#include "formats/it/ItHeader.h"

#include "song/ByteOrder.h"

#include <cstring>

namespace tolva {

void parseItHeader(const uint8_t* b, ItHeader& out) {
    std::memcpy(out.signature, b, 4);
    std::memcpy(out.songName, b + 0x04, 26);
    out.rowHighlight = readLe16(b + 0x1E);
    out.orderCount = readLe16(b + 0x20);
    out.instrumentCount = readLe16(b + 0x22);
    out.sampleCount = readLe16(b + 0x24);
    out.patternCount = readLe16(b + 0x26);
    out.createdWith = readLe16(b + 0x28);
    out.compatibleWith = readLe16(b + 0x2A);
    out.flags = readLe16(b + 0x2C);
    out.special = readLe16(b + 0x2E);
    out.globalVolume = b[0x30];
    out.mixVolume = b[0x31];
    out.initialSpeed = b[0x32];
    out.initialTempo = b[0x33];
    out.panSeparation = b[0x34];
    out.pitchWheelDepth = b[0x35];
    out.messageLength = readLe16(b + 0x36);
    out.messageOffset = readLe32(b + 0x38);
    std::memcpy(out.channelPan, b + 0x40, 64);
    std::memcpy(out.channelVolume, b + 0x80, 64);
}

} // namespace tolva
