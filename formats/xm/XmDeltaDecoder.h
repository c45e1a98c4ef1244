#pragma once
#include "mixer/Mixer.h"

#include <cstdint>

namespace tolva {

// XM sample data is stored as differences between successive values; this turns it back into
// plain signed PCM in place. convA is the sample width in bits (8 or 16).
class XmDeltaDecoder : public SampleConverter {
public:
    void convert(uint8_t* block, uint32_t size, uint32_t bits, uint32_t) override;
};

} // namespace tolva
