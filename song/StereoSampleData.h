#pragma once
#include <cstdint>

namespace tolva {

class InputStream;
class Mixer;

// Reads `frames` frames of stereo data stored as all left values, then all right ones, from
// the stream's position into a block of the mixer's, still in that order so that each side
// can be converted on its own. A file cut short keeps the frames whose left value it holds,
// with what it holds of their right ones and silence for the rest; `frames` comes back as the
// frames kept. Null when none are kept or memory is short.
uint8_t* readPlanarStereo(Mixer& mixer, InputStream& stream, uint32_t& frames,
                          uint32_t bytesPerSample);

// Rewrites a stereo block stored as all left values then all right ones into interleaved
// left/right frames. Answers false (block untouched) when the scratch copy cannot be made.
bool interleaveStereo(uint8_t* block, uint32_t size, uint32_t bytesPerSample);

} // namespace tolva
