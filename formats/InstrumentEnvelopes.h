#pragma once
// The envelopes of an instrument description as the instrument view draws them.
#include "engine/Descriptions.h"

#include <cstdint>

namespace tolva {

// One envelope: points of (tick, value) with values 0..64, loop and sustain ranges as point
// numbers (None when absent), and whether the values swing around the middle.
struct EnvelopeView {
    static constexpr uint16_t None = 0xFFFF;
    uint16_t ticks[25] = {};
    uint8_t values[25] = {};
    uint32_t count = 0;
    uint16_t loopBegin = None, loopEnd = None;
    uint16_t sustainBegin = None, sustainEnd = None;
    bool centred = false;
};

enum : uint32_t { EnvelopeVolume = 0, EnvelopePanning = 1, EnvelopePitch = 2 };

// Reads envelope `kind` out of a format's instrument record: an Impulse Tracker instrument
// (volume, panning, pitch or filter; panning and pitch values raised by 32) or a FastTracker 2
// instrument header (volume and panning). False when there is no such envelope.
bool readEnvelope(const InstrumentDescription& instrument, uint32_t kind, EnvelopeView& out);

} // namespace tolva
