#pragma once
// The seekable byte stream every loader reads through. Results: 0 success, 1 failure.
#include <cstdint>

namespace tolva {

enum : uint32_t { SeekFromStart = 0, SeekFromCurrent = 1, SeekFromEnd = 2 };

class InputStream {
public:
    virtual ~InputStream() = default;
    // Any origin other than current (1) or end (2) counts from the start.
    virtual uint32_t seek(int32_t offset, uint32_t origin, uint32_t* newPosition = nullptr) = 0;
    // Without `done`, anything but exactly `count` bytes is a failure; with it, a short read
    // succeeds and reports what arrived.
    virtual uint32_t read(uint32_t count, void* buffer, uint32_t* done = nullptr) = 0;
    virtual uint32_t write(uint32_t count, const void* buffer, uint32_t* done = nullptr) = 0;
    // Size in bytes; 0 when unknown.
    virtual uint32_t size() = 0;
};

} // namespace tolva
