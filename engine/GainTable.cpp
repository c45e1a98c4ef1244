#include "engine/GainTable.h"

#include <cmath>

namespace tolva {

GainTable::GainTable() {
    for (uint32_t i = 0; i < Size; ++i) {
        double exponent = (static_cast<double>(i) - Unity) / Unity;
        entries_[i] = static_cast<float>(std::round(std::pow(10.0, exponent) * 65536.0) / 65536.0);
    }
}

float ampToGain(float decibels) {
    static const GainTable table;
    float steps = decibels * 256.0f / 20.0f;
    if (!(steps >= -256.0f))
        steps = -256.0f;
    if (steps > 256.0f)
        steps = 256.0f;
    // nearbyint keeps the default rounding: halves go to the even neighbour.
    int32_t index = static_cast<int32_t>(std::nearbyint(steps)) + GainTable::Unity;
    return table[static_cast<uint32_t>(index)];
}

} // namespace tolva
