#pragma once
#include <cstdint>

namespace tolva {

enum : uint8_t {
    SampleStereo = 0x02,
    Sample16Bit = 0x04,
    SampleLoop = 0x08,
    SamplePingPong = 0x10,
};

// The sample record every format shares; formats with more sample fields extend it.
struct Sample {
    uint8_t* data = nullptr; // block held by the Mixer; null until loaded
    uint32_t length = 0;     // bytes
    uint32_t loopStart = 0;  // bytes
    uint32_t loopEnd = 0;    // bytes, exclusive
    int8_t finetune = 0;     // low nibble meaningful (-8..7)
    uint8_t volume = 0;      // 0..64
    bool present = false;    // data was handed to the Mixer
    uint8_t flags = 0;       // Sample16Bit, SampleLoop, format bits
    char name[32] = {};

    // A file cut short inside the sample keeps the whole frames it holds; the missing rest
    // plays as silence, as after the end of any sample.
    void cutToData(uint32_t available, uint32_t frameBytes, uint8_t loopFlags = SampleLoop) {
        if (length <= available)
            return;
        length = available - available % frameBytes;
        clampLoopToData(loopFlags);
    }

    // Keeps the loop inside the data once it is loaded; `loopFlags` are the format's loop bits.
    // A loop that then ends at or before its start cannot repeat: the sample plays through once.
    void clampLoopToData(uint8_t loopFlags = SampleLoop) {
        clampLoopToData(loopStart, loopEnd, loopFlags);
    }
    // The same for another loop the format keeps (a sustain loop).
    void clampLoopToData(uint32_t start, uint32_t& end, uint8_t loopFlags) {
        if (length < end)
            end = length;
        if (end <= start)
            flags &= static_cast<uint8_t>(~loopFlags);
    }
};

} // namespace tolva
