#include "formats/InstrumentEnvelopes.h"

#include <algorithm>

namespace tolva {

namespace {

// Impulse Tracker records: envelopes at 0x130, 0x182 and 0x1D4, each a flag byte, the point
// count, loop and sustain point numbers and 25 points of (value, tick).
constexpr uint32_t ItEnvelopeOffsets[3] = {0x130, 0x182, 0x1D4};
constexpr uint8_t ItEnvelopeLoop = 0x02, ItEnvelopeSustain = 0x04, ItFilterEnvelope = 0x80;
// FastTracker 2 headers: 12 points of (tick, value) words for volume at 129 and panning at
// 177; point counts at 225, sustain and loop points from 227, the type bytes at 233.
constexpr uint8_t XmEnvelopeSustain = 0x02, XmEnvelopeLoop = 0x04;

uint16_t word(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

bool readXmEnvelope(const uint8_t* b, uint32_t kind, EnvelopeView& out) {
    if (kind > EnvelopePanning)
        return false;
    const uint8_t* points = b + (kind == EnvelopeVolume ? 129 : 177);
    out.count = std::min<uint32_t>(b[225 + kind], 12);
    for (uint32_t i = 0; i < out.count; ++i) {
        out.ticks[i] = word(points + 4 * i);
        out.values[i] = static_cast<uint8_t>(std::min<uint16_t>(word(points + 4 * i + 2), 64));
    }
    const uint8_t type = b[233 + kind];
    const uint8_t* nodes = b + 227 + 3 * kind; // sustain, loop start, loop end
    if (type & XmEnvelopeSustain)
        out.sustainBegin = out.sustainEnd = nodes[0];
    if (type & XmEnvelopeLoop) {
        out.loopBegin = nodes[1];
        out.loopEnd = nodes[2];
    }
    out.centred = kind == EnvelopePanning;
    return true;
}

bool readItEnvelope(const uint8_t* b, uint32_t kind, EnvelopeView& out) {
    if (kind > EnvelopePitch)
        return false;
    const uint8_t* e = b + ItEnvelopeOffsets[kind];
    const uint8_t flags = e[0];
    out.count = std::min<uint32_t>(e[1], 25);
    const bool filter = kind == EnvelopePitch && (flags & ItFilterEnvelope);
    out.centred = kind != EnvelopeVolume && !filter;
    for (uint32_t i = 0; i < out.count; ++i) {
        const int value = static_cast<int8_t>(e[6 + 3 * i]);
        const int shown = kind == EnvelopeVolume ? value : value + 32;
        out.values[i] = static_cast<uint8_t>(std::clamp(shown, 0, 64));
        out.ticks[i] = word(e + 7 + 3 * i);
    }
    if (flags & ItEnvelopeLoop) {
        out.loopBegin = e[2];
        out.loopEnd = e[3];
    }
    if (flags & ItEnvelopeSustain) {
        out.sustainBegin = e[4];
        out.sustainEnd = e[5];
    }
    return true;
}

} // namespace

bool readEnvelope(const InstrumentDescription& in, uint32_t kind, EnvelopeView& out) {
    out = {};
    if (!in.valid)
        return false;
    return in.marker == XmInstrumentMarker ? readXmEnvelope(in.bytes, kind, out)
                                           : readItEnvelope(in.bytes, kind, out);
}

} // namespace tolva
