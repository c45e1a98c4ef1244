#pragma once
// The demo song's instruments, synthesised as 8-bit signed sample data.
#include "support/ModBuilder.h"

namespace demosong {

using ModSample = tolva::test::ModSampleDef;

ModSample squareLead(); // looped single cycle, 25% pulse
ModSample sawBass();    // looped single cycle
ModSample kickDrum();   // falling sine, decaying
ModSample snareDrum();  // noise over a short tone, decaying
ModSample closedHat();  // short bright noise
ModSample softPad();    // looped triangle, quieter

} // namespace demosong
