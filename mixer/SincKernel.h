#pragma once
#include <cstdint>

namespace tolva {

// The windowed sincs of the Sinc mode: Kaiser-windowed sincs whose first zeros lie a little
// further out than a frame's. Voices at or below the output rate read SincTaps frames through
// rows kept for SincPhases positions between two frames; voices above it read a wider sinc,
// stretched in time so that its cutoff falls with the output's half rate, through rows worked
// out from its shape (KernelRun.cpp).
constexpr uint32_t SincTaps = 8;
constexpr uint32_t SincPhaseBits = 8;
constexpr uint32_t SincPhases = 1u << SincPhaseBits;
constexpr uint32_t WideSincTaps = 16;
constexpr uint32_t WideSincPoints = 128; // points a frame at which its shape is kept

struct SincKernel {
    // rows[p][t]: the weight of frame t - (SincTaps / 2 - 1) for a position p / SincPhases past
    // frame 0, each row summing to 1. Row SincPhases closes the last interval.
    alignas(16) float rows[SincPhases + 1][SincTaps];
    // wide[i]: the wide sinc at i / WideSincPoints - WideSincTaps / 2 frames; the last entry
    // repeats the zero it ends in.
    float wide[WideSincTaps * WideSincPoints + 2];
};

extern const SincKernel sincKernel;

} // namespace tolva
