#pragma once
#include <cstdint>

namespace tolva {

// How fast volume, panning and declick levels move: `rampStep` units every `rampInterval`
// frames. Faster rates take longer intervals so that a ramp lasts about the same time.
struct RampParams {
    uint32_t maxRate; // highest mixing rate (Hz) the row serves
    uint8_t rampStep;
    uint8_t rampInterval;
};

inline constexpr RampParams RampTable[] = {
    {16000, 2, 2},
    {32000, 2, 4},
    {0xFFFFFFFFu, 2, 6},
};

inline const RampParams& rampParamsFor(uint32_t rate) {
    for (const RampParams& row : RampTable) {
        if (row.maxRate >= rate)
            return row;
    }
    return RampTable[2];
}

} // namespace tolva
