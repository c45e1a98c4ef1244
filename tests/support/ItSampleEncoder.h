#pragma once
// Compresses PCM into Impulse Tracker sample blocks, so decoding tests start from known data.
#include <cstdint>
#include <vector>

namespace tolva::test {

struct ItEncodeOptions {
    bool sixteenBit = false;
    bool doubleDelta = false;
    // Narrow the code width to what each value needs; off keeps every code at the top width.
    bool changeWidths = true;
};

// One block's bit stream (without its length word) for `values` (int8 or int16 values).
std::vector<uint8_t> encodeItBlock(const std::vector<int32_t>& values,
                                   const ItEncodeOptions& options);

// A whole sample: blocks of 0x8000 (8-bit) or 0x4000 (16-bit) values, each behind its length.
std::vector<uint8_t> encodeItSample(const std::vector<int32_t>& values,
                                    const ItEncodeOptions& options);

// Appends `count` bits of `value`, least significant bit first.
class BitWriter {
public:
    void put(uint32_t value, uint32_t count);
    std::vector<uint8_t> finish() const { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    uint32_t used_ = 8; // bits used in the last byte
};

} // namespace tolva::test
