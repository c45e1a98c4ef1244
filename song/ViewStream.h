#pragma once
#include "song/InputStream.h"

#include <cstddef>
#include <cstdint>

namespace tolva {

// A read-only stream over bytes the caller holds for as long as the stream is used, so that a
// file already in memory is not copied again.
class ViewStream final : public InputStream {
public:
    // At most 4 GiB - 1 bytes are seen, as for every stream.
    ViewStream(const void* data, std::size_t size);

    uint32_t seek(int32_t offset, uint32_t origin, uint32_t* newPosition = nullptr) override;
    uint32_t read(uint32_t count, void* buffer, uint32_t* done = nullptr) override;
    uint32_t write(uint32_t, const void*, uint32_t* done = nullptr) override;
    uint32_t size() override { return size_; }

private:
    const uint8_t* data_;
    uint32_t size_;
    uint64_t position_ = 0;
};

} // namespace tolva
