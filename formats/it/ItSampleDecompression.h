#pragma once
// Impulse Tracker compressed sample data: blocks of a variable-width bit code, integrated once
// (IT 2.14) or twice (IT 2.15) into 8- or 16-bit PCM.
#include <cstdint>

namespace tolva {

class InputStream;
class Mixer;

constexpr uint32_t ItBlockValues8 = 0x8000;
constexpr uint32_t ItBlockValues16 = 0x4000;
constexpr uint32_t ItMaxBlockBytes = 0xFFFF;

// Decodes one block of `size` bytes into `count` values (int8 or int16 by `bytesPerSample`).
// Answers false when the block ran out of bits or asked for an impossible code width; the
// values it could not decode then repeat the last decoded one, so the block never leaves
// `out` partly unwritten.
bool decodeItBlock(const uint8_t* block, uint32_t size, void* out, uint32_t count,
                   uint32_t bytesPerSample, bool doubleDelta);

// Reads the compressed data of one sample from `stream` (positioned at its first block) and
// hands the decoded PCM to the Mixer. A stereo sample holds its left channel's blocks, then
// its right channel's; the result is interleaved. Null when the stream ends early, the file
// cannot hold that many values, or memory runs out.
uint8_t* decompressItSample(Mixer& mixer, InputStream& stream, uint32_t frameCount,
                            uint32_t bytesPerSample, bool doubleDelta, bool stereo);

} // namespace tolva
