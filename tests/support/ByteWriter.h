#pragma once
// Appends the fields of a module file; the format builders write through it.
#include <cstdint>
#include <string_view>
#include <vector>

namespace tolva::test {

class ByteWriter {
public:
    // Each value in turn, in the width and byte order the name gives.
    template <typename... V> void u8(V... v) { (bytes_.push_back(static_cast<uint8_t>(v)), ...); }
    template <typename... V> void u16be(V... v) { (u8(uint32_t(v) >> 8, v), ...); }
    template <typename... V> void u16le(V... v) { (u8(v, uint32_t(v) >> 8), ...); }
    template <typename... V> void u32le(V... v) { (u16le(v, uint32_t(v) >> 16), ...); }
    // Exactly `width` bytes: the text cut or padded with NULs.
    void text(std::string_view s, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i)
            u8(i < s.size() ? static_cast<uint8_t>(s[i]) : 0);
    }
    void raw(const void* data, std::size_t size) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + size);
    }
    void zeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }

    std::size_t size() const { return bytes_.size(); }
    std::vector<uint8_t>& bytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
};

} // namespace tolva::test
