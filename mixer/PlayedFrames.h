#pragma once
#include "mixer/VoiceCursor.h"

#include <cstdint>

namespace tolva {

// The frames of a voice in the order it plays them, as one straight line that the kernels of
// the interpolation modes read without knowing of loops: `before` frames it played last, then
// `count` frames from its current one on, turning and wrapping as the voice will and silent
// past its end. Written to `out` as floats of full scale 1.0, one per frame or left and right
// for stereo data; out[before] (out[2 x before] for stereo) is the current frame. Before a
// voice has gone round its loop, what it played is the sample data behind it.
void unfoldPlayedFrames(const VoiceCursor& cursor, uint32_t before, uint32_t count, float* out);

} // namespace tolva
