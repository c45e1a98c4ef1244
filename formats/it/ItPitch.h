#pragma once
#include "formats/it/ItHeader.h"

#include <cstdint>

namespace tolva {

// value x 2^(e/768), with the exponent's fraction taken from the pitch table; 0 when the
// result does not fit in 32 bits.
uint32_t itPitchScale(uint32_t value, int32_t e);

// The exponent e (1/768 octave) that takes rate `from` nearest to rate `to` in itPitchScale.
int32_t itRateDistance(uint32_t from, uint32_t to);

// Without linear slides, songs from Impulse Tracker (and most other trackers) play a note at a
// whole number of hertz, and every slide lands on a whole number again, rounded down. Songs from
// Schism Tracker (0x1xxx) and ModPlug Tracker keep whole periods instead.
bool itPitchInHertz(const ItHeader& header);

// Periods in hertz songs: 1712 x 8363 / hertz in 2048ths of the unit (a quarter of a ProTracker
// period), fine enough to give back the hertz they were made from.
constexpr int32_t AmigaSubunits = 2048;
// The lowest pitch, about 55 Hz, and the bound of slides down; it leaves room for offsets on top.
constexpr int32_t AmigaLongestPeriod = 1 << 29;

} // namespace tolva
