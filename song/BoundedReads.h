#pragma once
// Reads that stay inside the stream. Sizes and offsets taken from a file are checked against
// what the stream holds before anything is allocated or read, so a damaged field fails the
// load instead of reading elsewhere or allocating without bound.
#include "platform/HeapArray.h"

#include <cstdint>

namespace tolva {

class InputStream;

uint32_t streamPosition(InputStream& stream);

// Bytes between the stream's position and its end; 0 when the position lies beyond the end.
uint32_t bytesLeft(InputStream& stream);

// Moves to `offset` from the start; false when the offset lies beyond the end.
bool seekTo(InputStream& stream, uint64_t offset);

// Moves the position `count` (below 2 GiB) bytes on; false, without moving, when the stream
// ends sooner.
bool skipBytes(InputStream& stream, uint32_t count);

// Reads `count` bytes from `offset`; true when the stream holds them all.
bool readAt(InputStream& stream, uint64_t offset, uint32_t count, void* buffer);

// Reads `count` bytes from the position into `out`, sized for them; false when the stream ends
// sooner or memory is short.
bool readBlock(InputStream& stream, uint64_t count, HeapArray<uint8_t>& out);

} // namespace tolva
