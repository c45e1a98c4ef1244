#pragma once
// Reads a stream field by field, the way a file's layout is written down. The first read that
// finds the stream short makes every later one fail too: it reads zeros and moves nothing, so a
// loader reads straight through a layout and asks ok() once. Sizes and offsets taken from a
// file are checked against what the stream holds before anything is allocated or read, so a
// damaged field fails the load instead of reading elsewhere or allocating without bound.
#include "platform/HeapArray.h"

#include <cstdint>

namespace tolva {

class InputStream;

class ByteReader {
public:
    explicit ByteReader(InputStream& stream) : stream_(stream) {}

    uint8_t u8();
    uint16_t u16le();
    uint32_t u32le();
    uint16_t u16be();
    // `count` bytes into `out`; zeros once the reader has failed.
    ByteReader& bytes(void* out, uint32_t count);
    // `count` bytes into `out`, sized for them; fails (nothing allocated) when the stream holds
    // fewer, or when memory is short.
    ByteReader& block(uint64_t count, HeapArray<uint8_t>& out);
    // Up to `count` bytes into `out`, as many as the stream holds; answers how many (0 when
    // the stream cannot be read).
    uint32_t some(void* out, uint32_t count);
    // Moves to `offset` from the start; fails when it lies beyond the end.
    ByteReader& at(uint64_t offset);
    // Moves `count` bytes on; fails, without moving, when the stream ends sooner.
    ByteReader& skip(uint64_t count);
    // Fails unless `count` more bytes follow: a size from the file checked before the room for
    // it is made.
    ByteReader& need(uint64_t count);
    // Fails from here on; for a value the loader finds wrong.
    void fail() { ok_ = false; }

    bool ok() const { return ok_; }
    uint32_t position();
    // Bytes between the position and the end; 0 beyond the end.
    uint32_t left();
    uint32_t size();
    InputStream& stream() { return stream_; }

private:
    InputStream& stream_;
    bool ok_ = true;
};

} // namespace tolva
