#pragma once
#include <cstdint>

namespace tolva {

class InputStream;

// Bytes between the stream's position and its end; 0 when the position lies beyond the end.
// Loaders compare sizes read from a header with it before they allocate or read.
uint32_t bytesLeft(InputStream& stream);

// Moves the position `count` (below 2 GiB) bytes on; false, without moving, when the stream
// ends sooner.
bool skipBytes(InputStream& stream, uint32_t count);

} // namespace tolva
