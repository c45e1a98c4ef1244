#pragma once
// Compresses PCM into IT sample blocks, so decoding tests start from known data.
#include <cstdint>
#include <vector>

namespace tolva::test {

// Appends `count` bits of `value`, least significant bit first.
class BitWriter {
public:
    void put(uint32_t value, uint32_t count);
    std::vector<uint8_t> finish() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    uint32_t used_ = 8; // bits used in the last byte
};

// Blocks of 0x8000 (8-bit) or 0x4000 (16-bit) values, each behind its length word, every code
// at the top width (9 or 17 bits).
std::vector<uint8_t> encodeItSample(const std::vector<int32_t>& values, bool sixteenBit,
                                    bool doubleDelta);

} // namespace tolva::test
