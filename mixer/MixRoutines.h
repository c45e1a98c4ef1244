#pragma once
#include "mixer/KernelRoom.h"
#include "mixer/VectorWidth.h"
#include "mixer/Voice.h"
#include "mixer/VoiceCursor.h"

#include <cstdint>

namespace tolva {

// Everything a run of one voice needs besides its position: the 32-bit gains into the left and
// right outputs (of the one channel of mono data, of its own side of stereo data), the level of a
// silent sample that is taken off again, the declick offset added to every frame, and surround.
struct RunGains {
    uint32_t toLeft;
    uint32_t toRight;
    uint32_t biasLeft;
    uint32_t biasRight;
    int32_t holdLeft;
    int32_t holdRight;
    bool negateRight;
};

RunGains runGains(const Voice& voice, uint32_t gain, bool forceMono);

// The last frame a routine added, kept by the voice for its declick tail.
struct LastFrame {
    int32_t left;
    int32_t right;
};

// Resamples `frames` frames of a voice (in pairs) and adds them to the stereo accumulator.
// Answers the frames added; fewer when the voice stopped. Every width gives the same sums.
uint32_t accumulateRun(VoiceCursor& cursor, int32_t* accumulator, uint32_t frames,
                       const RunGains& gains, bool interpolate, LastFrame& last,
                       VectorWidth width = widestVectors());

// Resamples into floats (one per frame, or left and right for stereo data) scaled to [-1, 1)
// without any gain. Answers the frames written.
uint32_t renderFloatRun(VoiceCursor& cursor, float* buffer, uint32_t frames, bool interpolate);

// Resamples as renderFloatRun does through the kernel of the Cubic or Sinc mode, moving the
// voice exactly as the linear routines would. Answers the frames written.
uint32_t renderKernelRun(VoiceCursor& cursor, float* buffer, uint32_t frames, Interpolation mode,
                         KernelRoom& room);

// Adds `frames` frames of float samples to the accumulator at the scale of accumulateRun.
void mixFloatBack(const float* buffer, bool stereo, int32_t* accumulator, uint32_t frames,
                  const RunGains& gains, LastFrame& last);
// The same with the gains applied in floats, for the Cubic and Sinc modes: quicker, and not
// held to the sums of the integer routines, which the other modes keep.
void mixKernelRun(const float* buffer, bool stereo, int32_t* accumulator, uint32_t frames,
                  const RunGains& gains, LastFrame& last);

} // namespace tolva
