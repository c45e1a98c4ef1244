#pragma once
#include "AudioOutput.h"
#include "PendingFile.h"

namespace tolva::cli {

// PCM as the engine renders it into the open file `fd`, behind a WAV header when `wav` is set
// (integer PCM, or IEEE floats with the fact chunk such files carry); raw files get the bytes
// standard output gets. No library needed.
std::unique_ptr<AudioOutput> openPcmFile(int fd, PendingFile pending, uint32_t rate,
                                         const RenderFormat& format, bool wav, Failure& failure);

} // namespace tolva::cli
