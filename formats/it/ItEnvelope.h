#pragma once
#include <cstdint>

namespace tolva {

constexpr uint32_t ItEnvelopeNodes = 25;
constexpr uint32_t ItEnvelopeBytes = 82;

enum : uint8_t {
    ItEnvelopeOn = 0x01,
    ItEnvelopeLoop = 0x02,
    ItEnvelopeSustain = 0x04,
    ItEnvelopeCarry = 0x08,
    ItEnvelopeFilter = 0x80, // pitch envelope only: it drives the filter instead
};

struct ItEnvelopeNode {
    int8_t value = 0; // volume 0..64, pan and pitch -32..32
    uint16_t tick = 0;
};

// As stored; the node count is not checked against the 25 nodes here.
struct ItEnvelope {
    uint8_t flags = 0;
    uint8_t nodeCount = 0;
    uint8_t loopStart = 0;
    uint8_t loopEnd = 0;
    uint8_t sustainStart = 0;
    uint8_t sustainEnd = 0;
    ItEnvelopeNode nodes[ItEnvelopeNodes] = {};
};

} // namespace tolva
