#include "formats/xm/XmEnvelope.h"

namespace tolva {

void restartEnvelope(XmEnvelopeState& state, const XmEnvelope& envelope, uint16_t startValue) {
    state = {};
    state.value = startValue;
    state.flags = envelope.type;
}

void switchEnvelope(XmEnvelopeState& state, const XmEnvelope& envelope, uint16_t startValue) {
    const uint32_t position = state.position;
    restartEnvelope(state, envelope, startValue);
    for (uint32_t i = 0; i < position; ++i)
        stepEnvelope(envelope, state, true);
}

bool stepEnvelope(const XmEnvelope& envelope, XmEnvelopeState& state, bool forced) {
    if (envelope.loopEnd <= envelope.loopStart)
        state.flags &= static_cast<uint8_t>(~EnvelopeLoop);
    if (!(state.flags & EnvelopeOn) || (state.flags & EnvelopeFinished))
        return false;
    if (state.ticksLeft != 0) {
        state.value = static_cast<uint16_t>(state.value + state.delta);
        --state.ticksLeft;
        ++state.position;
        return true;
    }

    uint32_t p = state.point;
    const bool loopEnds = (state.flags & EnvelopeLoop) && p == envelope.loopEnd && !forced;
    const bool onSustain = p == envelope.sustainPoint && !forced;
    bool moveOn = true;
    if (state.flags & EnvelopeReleased) {
        // A released envelope keeps looping, but not back from a loop end that is also the
        // sustain point.
        if (loopEnds && !onSustain)
            p = envelope.loopStart;
    } else if (loopEnds) {
        p = envelope.loopStart;
    } else if ((state.flags & EnvelopeSustain) && onSustain) {
        moveOn = false;
    }

    state.point = static_cast<uint8_t>(p);
    state.value = static_cast<uint16_t>(envelope.point(p).y * 256);
    // A point the envelope stays on is played again by the next step.
    state.position = envelope.point(p).x;
    if (moveOn) {
        if (p + 1 < envelope.pointCount) {
            const XmEnvelopePoint& here = envelope.point(p);
            const XmEnvelopePoint& next = envelope.point(p + 1);
            uint16_t dx = static_cast<uint16_t>(next.x - here.x);
            if (dx == 0)
                dx = 1;
            state.delta = static_cast<int16_t>((next.y - here.y) * 256 / dx);
            state.point = static_cast<uint8_t>(p + 1);
            ++state.position;
            state.ticksLeft = static_cast<uint16_t>(dx - 1);
        } else {
            state.flags |= EnvelopeFinished;
        }
    }
    return true;
}

} // namespace tolva
