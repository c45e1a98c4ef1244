#pragma once
// 4-bit ADPCM sample data as ModPlug Tracker stores it in IT files: a table of 16 signed
// deltas, then two codes a byte (low nibble first), each adding its table entry to the last
// value.
#include <cstdint>

namespace tolva {

class InputStream;
class Mixer;

// The conversion byte that marks such data.
constexpr uint8_t ItConvertAdpcm = 0xFF;

// Reads the ADPCM data of an 8-bit mono sample of `frames` frames from `stream` and hands the
// decoded PCM to the Mixer; `frames` becomes the frames the file holds when it ends early (0
// without any). Null when no frame is there or memory runs out.
uint8_t* decodeItAdpcm(Mixer& mixer, InputStream& stream, uint32_t& frames);

} // namespace tolva
