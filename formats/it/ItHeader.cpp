#include "formats/it/ItHeader.h"

#include "formats/it/ItBytes.h"

#include <cstring>

namespace tolva {

void parseItHeader(const uint8_t* b, ItHeader& out) {
    std::memcpy(out.signature, b, 4);
    std::memcpy(out.songName, b + 0x04, 26);
    out.rowHighlight = itWord(b + 0x1E);
    out.orderCount = itWord(b + 0x20);
    out.instrumentCount = itWord(b + 0x22);
    out.sampleCount = itWord(b + 0x24);
    out.patternCount = itWord(b + 0x26);
    out.createdWith = itWord(b + 0x28);
    out.compatibleWith = itWord(b + 0x2A);
    out.flags = itWord(b + 0x2C);
    out.special = itWord(b + 0x2E);
    out.globalVolume = b[0x30];
    out.mixVolume = b[0x31];
    out.initialSpeed = b[0x32];
    out.initialTempo = b[0x33];
    out.panSeparation = b[0x34];
    out.pitchWheelDepth = b[0x35];
    out.messageLength = itWord(b + 0x36);
    out.messageOffset = itLong(b + 0x38);
    std::memcpy(out.channelPan, b + 0x40, 64);
    std::memcpy(out.channelVolume, b + 0x80, 64);
}

} // namespace tolva
