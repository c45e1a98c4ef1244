#pragma once
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tolva::cli {

// Bytes of sound passed from one producer thread to one consumer thread (the audio callback)
// without locks: each side owns its own counter and only reads the other's. The consumer
// never allocates, blocks or touches files.
class SampleRing {
public:
    // `capacity` must be a power of two.
    explicit SampleRing(std::size_t capacity);

    // Producer side.
    std::size_t writable() const;
    // Appends `size` bytes; at most writable().
    void write(const uint8_t* bytes, std::size_t size);
    // Everything written so far is skipped by the consumer: what a seek leaves behind.
    void discardWritten();
    // The producer has nothing more to write (until it writes again).
    void setDrained(bool drained) { drained_.store(drained, std::memory_order_release); }

    // Consumer side: copies up to `size` bytes out, answers how many.
    std::size_t read(uint8_t* out, std::size_t size);

    // Either side.
    bool drained() const { return drained_.load(std::memory_order_acquire); }
    uint64_t written() const { return write_.load(std::memory_order_acquire); }
    uint64_t consumed() const { return read_.load(std::memory_order_acquire); }

private:
    std::vector<uint8_t> data_;
    std::size_t mask_;
    std::atomic<uint64_t> write_{0};
    std::atomic<uint64_t> read_{0};
    std::atomic<uint64_t> skipTo_{0};
    std::atomic<bool> drained_{false};
};

} // namespace tolva::cli
