#include "support/ItSampleEncoder.h"

namespace tolva::test {

void BitWriter::put(uint32_t value, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        if (used_ == 8) {
            bytes_.push_back(0);
            used_ = 0;
        }
        bytes_.back() |= static_cast<uint8_t>(((value >> i) & 1) << used_);
        ++used_;
    }
}

std::vector<uint8_t> encodeItSample(const std::vector<int32_t>& values, bool sixteenBit,
                                    bool doubleDelta) {
    const std::size_t perBlock = sixteenBit ? 0x4000 : 0x8000;
    const uint32_t mask = sixteenBit ? 0xFFFF : 0xFF;
    std::vector<uint8_t> file;
    for (std::size_t start = 0; start < values.size(); start += perBlock) {
        BitWriter out;
        int32_t previous = 0;
        int32_t previousDelta = 0;
        for (std::size_t i = start; i < values.size() && i < start + perBlock; ++i) {
            const int32_t delta = values[i] - previous;
            previous = values[i];
            // The top bit of a top-width code stays clear: the decoder wraps at the sample width.
            out.put(static_cast<uint32_t>(doubleDelta ? delta - previousDelta : delta) & mask,
                    sixteenBit ? 17 : 9);
            previousDelta = delta;
        }
        const std::vector<uint8_t> block = out.finish();
        file.push_back(static_cast<uint8_t>(block.size()));
        file.push_back(static_cast<uint8_t>(block.size() >> 8));
        file.insert(file.end(), block.begin(), block.end());
    }
    return file;
}

} // namespace tolva::test
