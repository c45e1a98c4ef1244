#pragma once
// 4-bit ADPCM sample data as ModPlug Tracker stores it in IT and MOD files: a table of 16
// signed deltas, then two codes a byte (low nibble first), each adding its table entry to the
// last value.
#include <cstdint>

namespace tolva {

class InputStream;
class Mixer;

// Reads the ADPCM data of an 8-bit mono sample of `frames` frames from `stream` and hands the
// decoded PCM to the Mixer; `frames` becomes the frames the file holds when it ends early (0
// without any). Null when no frame is there or memory runs out.
uint8_t* decodeModPlugAdpcm(Mixer& mixer, InputStream& stream, uint32_t& frames);

// In MOD files the data of such a sample starts with "ADPCM"; true, past the mark, when it does.
bool skipAdpcmMark(InputStream& stream);

} // namespace tolva
