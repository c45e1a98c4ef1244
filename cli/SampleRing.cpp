#include "SampleRing.h"

#include <algorithm>
#include <cstring>

namespace tolva::cli {

SampleRing::SampleRing(std::size_t capacity) : data_(capacity), mask_(capacity - 1) {}

std::size_t SampleRing::writable() const {
    // Bytes waiting to be skipped still hold their place until the consumer has moved past.
    return data_.size() -
           (write_.load(std::memory_order_relaxed) - read_.load(std::memory_order_acquire));
}

void SampleRing::write(const uint8_t* bytes, std::size_t size) {
    uint64_t at = write_.load(std::memory_order_relaxed);
    std::size_t offset = at & mask_;
    std::size_t first = std::min(size, data_.size() - offset);
    std::memcpy(data_.data() + offset, bytes, first);
    std::memcpy(data_.data(), bytes + first, size - first);
    write_.store(at + size, std::memory_order_release);
}

void SampleRing::discardWritten() {
    skipTo_.store(write_.load(std::memory_order_relaxed), std::memory_order_release);
}

std::size_t SampleRing::read(uint8_t* out, std::size_t size) {
    uint64_t at =
        std::max(read_.load(std::memory_order_relaxed), skipTo_.load(std::memory_order_acquire));
    std::size_t n = std::min<uint64_t>(size, write_.load(std::memory_order_acquire) - at);
    std::size_t offset = at & mask_;
    std::size_t first = std::min(n, data_.size() - offset);
    std::memcpy(out, data_.data() + offset, first);
    std::memcpy(out + first, data_.data(), n - first);
    read_.store(at + n, std::memory_order_release);
    return n;
}

} // namespace tolva::cli
