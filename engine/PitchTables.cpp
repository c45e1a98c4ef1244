#include "engine/PitchTables.h"

namespace tolva {

namespace {

// e^x by its series, exact to a double's precision for 0 <= x < 1.
constexpr double exponential(double x) {
    double sum = 1.0;
    double term = 1.0;
    for (int n = 1; n < 30; ++n) {
        term *= x / n;
        sum += term;
    }
    return sum;
}

constexpr PitchTable buildPitchTable() {
    constexpr double ln2 = 0.693147180559945309417;
    PitchTable table{};
    for (uint32_t i = 0; i < PitchTableLength; ++i)
        table[i] = static_cast<uint32_t>(65536.0 * exponential(ln2 * i / PitchTableLength) + 0.5);
    return table;
}

// 511 x sin(2 pi i / 256), rounded, over the first quarter turn.
constexpr int32_t quarterSine[AutoVibratoLength / 4 + 1] = {
    0,   13,  25,  38,  50,  63,  75,  87,  100, 112, 124, 136, 148, 160, 172, 184, 196,
    207, 218, 230, 241, 252, 263, 273, 284, 294, 304, 314, 324, 334, 343, 352, 361, 370,
    379, 387, 395, 403, 410, 418, 425, 432, 438, 445, 451, 456, 462, 467, 472, 477, 481,
    485, 489, 492, 496, 499, 501, 503, 505, 507, 509, 510, 510, 511, 511,
};

constexpr AutoVibratoTable buildWaveforms() {
    constexpr int32_t length = AutoVibratoLength;
    constexpr int32_t half = length / 2;
    constexpr int32_t quarter = length / 4;
    AutoVibratoTable w{};
    for (int32_t i = 0; i < length; ++i) {
        const int32_t q = i % half;
        const int32_t sine = quarterSine[q <= quarter ? q : half - q];
        w[i] = i < half ? sine : -sine;
        w[length + i] = i < half ? 511 : -511;
        w[2 * length + i] = 511 - (i * 1022) / 255;
        w[3 * length + i] = (i * 1022) / 255 - 511;
    }
    return w;
}

} // namespace

constinit const PitchTable pitchTable = buildPitchTable();
constinit const AutoVibratoTable autoVibratoWaveforms = buildWaveforms();

uint32_t linearStep(int32_t x, uint32_t rate, uint32_t mixingRate) {
    if (mixingRate == 0)
        return 0;
    const uint64_t e = static_cast<uint64_t>(x >= 0 ? x : -static_cast<int64_t>(x));
    const uint64_t octaves = e / PitchTableLength;
    const uint64_t fraction = pitchTable[e % PitchTableLength];
    if (x >= 0) {
        if (octaves >= 32)
            return 0;
        const uint64_t scaled = static_cast<uint64_t>(rate) << octaves;
        if (scaled > UINT64_MAX / fraction)
            return 0;
        const uint64_t step = scaled * fraction / mixingRate;
        return step > UINT32_MAX ? 0 : static_cast<uint32_t>(step);
    }
    // Far below the rate the divisor outgrows 64 bits; the step is 0 long before that.
    if (octaves >= 24)
        return 0;
    const uint64_t divisor = (static_cast<uint64_t>(mixingRate) * fraction) << octaves;
    return static_cast<uint32_t>((static_cast<uint64_t>(rate) << 32) / divisor);
}

} // namespace tolva
