#include "support/ItSampleEncoder.h"

#include <cstdlib>

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

namespace {

struct Layout {
    uint32_t top;        // 9 or 17
    uint32_t bits;       // 8 or 16
    uint32_t fieldBits;  // 3 or 4: width field after an escape
    uint32_t borderHalf; // 4 or 8
};

Layout layoutOf(const ItEncodeOptions& o) {
    return o.sixteenBit ? Layout{17, 16, 4, 8} : Layout{9, 8, 3, 4};
}

// Whether delta d can be sent as a plain value code of `width` bits.
bool fits(const Layout& l, int32_t d, uint32_t width) {
    if (width == l.top)
        return true;
    int32_t half = 1 << (width - 1);
    if (width < 7)
        return d > -half && d < half;                      // -half itself is the escape code
    int32_t reserved = static_cast<int32_t>(l.borderHalf); // width changes at both ends
    return d >= -half + reserved && d < half - reserved;
}

uint32_t narrowest(const Layout& l, int32_t d) {
    for (uint32_t w = 1;; ++w)
        if (fits(l, d, w))
            return w;
}

void switchWidth(const Layout& l, BitWriter& out, uint32_t from, uint32_t to) {
    // Targets at or above the current width skip it, so they are sent one lower.
    uint32_t field = to < from ? to : to - 1;
    if (from < 7) {
        out.put(1u << (from - 1), from);
        out.put(field - 1, l.fieldBits);
    } else if (from < l.top) {
        uint32_t border = (((1u << l.bits) - 1) >> (l.top - from)) - l.borderHalf;
        out.put(border + field, from);
    } else {
        out.put((1u << l.bits) | (to - 1), from);
    }
}

} // namespace

std::vector<uint8_t> encodeItBlock(const std::vector<int32_t>& values,
                                   const ItEncodeOptions& options) {
    Layout l = layoutOf(options);
    int32_t mod = 1 << l.bits;
    auto wrap = [&](int32_t v) {
        v %= mod;
        if (v < 0)
            v += mod;
        return v >= mod / 2 ? v - mod : v;
    };
    BitWriter out;
    uint32_t width = l.top;
    int32_t previous = 0;
    int32_t previousDelta = 0;
    for (int32_t value : values) {
        int32_t delta = wrap(value - previous);
        previous = value;
        int32_t code = delta;
        if (options.doubleDelta) {
            code = wrap(delta - previousDelta);
            previousDelta = delta;
        }
        if (options.changeWidths) {
            uint32_t want = narrowest(l, code);
            if (want != width) {
                switchWidth(l, out, width, want);
                width = want;
            }
        }
        out.put(static_cast<uint32_t>(code) & ((1u << width) - 1) & ((1u << l.bits) - 1), width);
    }
    return out.finish();
}

std::vector<uint8_t> encodeItSample(const std::vector<int32_t>& values,
                                    const ItEncodeOptions& options) {
    std::size_t perBlock = options.sixteenBit ? 0x4000 : 0x8000;
    std::vector<uint8_t> file;
    for (std::size_t start = 0; start < values.size(); start += perBlock) {
        std::size_t end = start + perBlock < values.size() ? start + perBlock : values.size();
        std::vector<int32_t> part(values.begin() + static_cast<std::ptrdiff_t>(start),
                                  values.begin() + static_cast<std::ptrdiff_t>(end));
        std::vector<uint8_t> block = encodeItBlock(part, options);
        if (block.size() > 0xFFFF)
            std::abort(); // test data too noisy for one block
        file.push_back(static_cast<uint8_t>(block.size()));
        file.push_back(static_cast<uint8_t>(block.size() >> 8));
        file.insert(file.end(), block.begin(), block.end());
    }
    return file;
}

} // namespace tolva::test
