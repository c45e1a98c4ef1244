#pragma once
#include "formats/xm/XmChannel.h"
#include "formats/xm/XmInstrument.h"

namespace tolva {

// Starts an envelope over: the value the note begins with until the first step, and the
// envelope's own type bits (released and fading cleared).
void restartEnvelope(XmEnvelopeState& state, const XmEnvelope& envelope, uint16_t startValue);

// Goes on with another envelope from the tick the old one had reached, not released.
void switchEnvelope(XmEnvelopeState& state, const XmEnvelope& envelope, uint16_t startValue);

// Advances the envelope by one tick; true when its value was set. `forced` walks past the
// sustain point and the loop's end: it places the envelope on a tick rather than playing it
// (the set-envelope-position effect).
bool stepEnvelope(const XmEnvelope& envelope, XmEnvelopeState& state, bool forced);

} // namespace tolva
