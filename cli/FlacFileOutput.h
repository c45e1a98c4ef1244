#pragma once
#include "AudioOutput.h"
#include "PendingFile.h"

#include <string>

namespace tolva::cli {

// Why FLAC files cannot be written ("libsndfile.so.1 is not installed"), or "".
const std::string& flacLibraryProblem();

// A FLAC file in the open file `fd`, encoded by libsndfile, loaded on first use.
std::unique_ptr<AudioOutput> openFlacFile(int fd, PendingFile pending, uint32_t rate,
                                          const RenderFormat& format, Failure& failure);

} // namespace tolva::cli
