#pragma once
#include <cstdint>

namespace tolva {

enum : uint8_t {
    VoiceActive = 0x01,
    VoiceStereo = 0x02,
    Voice16Bit = 0x04,
    VoiceLoop = 0x08,
    VoicePingPong = 0x10,
    VoiceBackwards = 0x20,
    VoiceSurround = 0x40,
    VoiceFiltered = 0x80,
};

// How a ping-pong loop turns: by default the frame at each end sounds once; with these it
// sounds again on the way back (FastTracker 2 both ends, Impulse Tracker the loop's end).
enum : uint8_t {
    TurnRepeatsEnd = 0x01,
    TurnRepeatsStart = 0x02,
};

// The state of one mixer voice; positions are addresses inside the sample block.
struct Voice {
    const uint8_t* data = nullptr;
    const uint8_t* position = nullptr;
    uint32_t fraction = 0; // low 16 bits: 1/65536 frame
    const uint8_t* loopStart = nullptr;
    const uint8_t* end = nullptr; // loop end when looping, else sample end
    uint32_t step = 0;            // 16.16 source frames per output frame
    uint8_t flags = 0;
    uint8_t volume = 0; // 0..255
    uint8_t panning = 0;
    uint8_t signFlip = 0; // 0x80 signed data, 0 unsigned
    uint8_t targetVolume = 0;
    uint8_t targetPanning = 0;
    uint16_t rampCountdown = 0;
    int32_t lastLeft = 0;
    int32_t lastRight = 0;
    int32_t holdLeft = 0;
    int32_t holdRight = 0;
    uint8_t holdLevel = 0; // declick level 0..8
    uint8_t activityFlags = 0;
    uint8_t peakVolume = 0;
    bool looped = false; // has gone round its loop since it started
};

// Filled in by the owner when a voice starts; offsets are bytes from `data`.
struct VoiceStart {
    const uint8_t* data = nullptr;
    uint32_t startOffset = 0;
    uint32_t end = 0; // loop end when looping, else the length
    uint32_t loopStart = 0;
    uint8_t flags = 0;
    uint8_t volume = 0;
    uint8_t panning = 0;
    uint8_t sign = 0xFF; // 0x80 signed, 0 unsigned, 0xFF the mixer's default
};

struct VoiceRegion {
    const uint8_t* data = nullptr;
    uint32_t position = 0;
    uint32_t end = 0;
    uint32_t loopStart = 0;
};

struct VoiceActivity {
    uint8_t flags = 0;
    uint8_t peakVolume = 0;
};

// How a voice reads between the frames of its sample: the frame at or before the position,
// a line between two frames, a 4-point Catmull-Rom spline, or a windowed sinc that also
// filters out what a sample played above the output rate would fold back.
enum class Interpolation : uint8_t { None, Linear, Cubic, Sinc };

// Output options handed to every render call; any of them may change from one call to the
// next.
struct RenderFormat {
    uint32_t gain = 256;
    uint8_t bits = 16; // 8, 16 or 32
    uint8_t signedOutput = 1;
    uint8_t floatSamples = 0; // 32-bit floats, full scale 1.0 (bits is then 32)
    Interpolation interpolation = Interpolation::Linear;
    uint8_t forceMono = 0;
    uint8_t reverseStereo = 0;
    uint16_t stereoSeparation = 100; // percent: 0 mono, 100 as mixed, 200 the widest
    uint64_t mutedChannels = 0;      // bit n silences the song's channel n (from 0)
};

constexpr uint16_t MaxStereoSeparation = 200;

} // namespace tolva
