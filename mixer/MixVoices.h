#pragma once
#include "mixer/KernelRoom.h"
#include "mixer/Mixer.h"
#include "mixer/Voice.h"

#include <cstdint>

namespace tolva {

// Frames of one filtered voice rendered to floats at a time.
constexpr uint32_t FloatBufferFrames = 1024;

struct MixSettings {
    uint32_t gain;
    Interpolation interpolation;
    bool forceMono;
    uint8_t rampStep;
    uint8_t rampInterval;
    uint8_t pingPongTurns; // TurnRepeatsEnd, TurnRepeatsStart
    VoiceFilterCallback filterCallback;
    void* filterContext;
    uint64_t mutedVoices; // bit n: voice n moves without being heard
};

// Room for the float routines: FloatBufferFrames stereo frames of one voice's run, 16-byte
// aligned, and the kernels' room of the Cubic and Sinc modes (without it they play as Linear).
struct FloatRoom {
    float* run;
    KernelRoom* kernels;
};

// Mixes `frames` frames of voices 0..voiceCount-1 into the accumulator (cleared first; two
// 32-bit values per frame, 16-byte aligned). Without an accumulator the voices only move.
void mixVoices(Voice* voices, uint32_t voiceCount, uint32_t frames, int32_t* accumulator,
               const MixSettings& settings, const FloatRoom& room);

// One step of a volume, panning or declick ramp: `rampStep` towards the target without
// passing it.
uint8_t rampTowards(uint8_t value, uint8_t target, uint8_t rampStep);

} // namespace tolva
