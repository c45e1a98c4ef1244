#pragma once
#include "mixer/Mixer.h"

#include <cstdint>

namespace tolva {

// Watches the mixer's voices once per registered interval and remembers the first and the
// last moment (in frames rendered) at which any of them sounded. 0 means "not yet".
class SilenceDetector final : public TickListener {
public:
    explicit SilenceDetector(Mixer& mixer) : mixer_(mixer) {}

    bool onTick(uint32_t slotIndex, uint32_t framesRendered) override;

    uint32_t firstAudible = 0;
    uint32_t lastAudible = 0;

private:
    Mixer& mixer_;
};

} // namespace tolva
