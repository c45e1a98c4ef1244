#pragma once
#include "platform/HeapArray.h"

#include <cstdint>

namespace tolva {

// The text of a comment stored as zero-padded lines: each run of zero bytes (one at the very
// start included) ends a line with CR LF. Empty when the comment holds no text at all;
// otherwise NUL-terminated. False when memory is short.
bool commentText(const uint8_t* bytes, uint32_t size, HeapArray<char>& text);

} // namespace tolva
