#pragma once
#include "Failure.h"
#include "formats/SongPipeline.h"

#include <string>

namespace tolva::cli {

// Loads the file the way the plug-in loads a file it is asked to play: options applied and its
// length scanned. False with the failure (reason and exit status) when it cannot be played.
bool loadSong(const std::string& path, const LoadOptions& options, LoadedSong& song,
              Failure& failure);

} // namespace tolva::cli
