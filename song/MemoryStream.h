#pragma once
#include "song/InputStream.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tolva {

// A stream over bytes held in memory (fuzzing, tests, files already read whole).
// Writes overwrite and extend the bytes.
class MemoryStream final : public InputStream {
public:
    MemoryStream() = default;
    explicit MemoryStream(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}
    MemoryStream(const uint8_t* data, std::size_t size) : bytes_(data, data + size) {}

    const std::vector<uint8_t>& bytes() const { return bytes_; }

    uint32_t seek(int32_t offset, uint32_t origin, uint32_t* newPosition = nullptr) override;
    uint32_t read(uint32_t count, void* buffer, uint32_t* done = nullptr) override;
    uint32_t write(uint32_t count, const void* buffer, uint32_t* done = nullptr) override;
    uint32_t size() override { return static_cast<uint32_t>(bytes_.size()); }

private:
    std::vector<uint8_t> bytes_;
    uint64_t position_ = 0;
};

} // namespace tolva
