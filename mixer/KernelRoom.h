#pragma once
#include <cstdint>

namespace tolva {

// Frames a kernel may read around a voice, in stereo frames.
constexpr uint32_t PlayedFramesCapacity = 8192;

// The weights of the sinc widened for one step, as rows, one per phase between two frames.
struct StretchedRows {
    static constexpr uint32_t Capacity = 4096;

    float weights[Capacity];
    uint32_t key = 0;   // the steps they serve, in 1/32 frame; 0: none yet
    uint32_t width = 0; // weights a row, a multiple of 4
    uint32_t phases = 0;
    uint32_t reach = 0; // frames after the one at or before the position; one fewer before
};

// What the kernels of the Cubic and Sinc modes work in, one per mixer: the line of frames a
// voice plays, and the widened sincs last worked out, kept for voices at the same steps.
struct KernelRoom {
    static constexpr uint32_t RowSets = 8;

    float line[2 * PlayedFramesCapacity];
    StretchedRows rows[RowSets];
    uint32_t nextRows = 0; // the set to replace next
};

} // namespace tolva
