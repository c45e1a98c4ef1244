#pragma once
#include "AudioOutput.h"
#include "PendingFile.h"

namespace tolva::cli {

// PCM as the engine renders it into the open file `fd`, behind a WAV header when `wav` is set
// (raw files get the bytes standard output gets); no library needed.
std::unique_ptr<AudioOutput> openPcmFile(int fd, PendingFile pending, uint32_t rate, uint32_t bits,
                                         bool wav, Failure& failure);

} // namespace tolva::cli
