#pragma once
#include <cstdint>

namespace tolva {

// A song's own pseudo-random generator (IT's random variations, the random waveforms). Each
// song has one, so songs played side by side never draw from each other's sequence, and a song
// that restarts goes on with its sequence.
class Random {
public:
    explicit Random(uint16_t seed) : state_(seed) {}
    uint16_t next() {
        const uint32_t s = state_;
        const uint16_t v = static_cast<uint16_t>(s * s + mix_);
        mix_ = static_cast<uint16_t>((v >> 2) + mix_);
        state_ = v;
        return v;
    }

private:
    uint16_t state_;
    uint16_t mix_ = 0x7654;
};

// A seed for a song given none: the clock's low bits.
uint16_t clockSeed();

} // namespace tolva
