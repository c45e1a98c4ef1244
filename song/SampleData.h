#pragma once
#include <cstdint>

namespace tolva {

class InputStream;
class Mixer;

// Reads `size` bytes of sample data from the stream's position straight into a block of the
// mixer's, where the caller may convert them in place; null (nothing kept) when the stream
// ends sooner or memory is short.
uint8_t* readSampleData(Mixer& mixer, InputStream& stream, uint32_t size);

} // namespace tolva
