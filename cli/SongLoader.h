#pragma once
#include "Failure.h"
#include "engine/SongPipeline.h"
#include "settings/Settings.h"

#include <string>

namespace tolva::cli {

// Switches the format handlers as the settings say; call once settings are known.
void enableFormats(const Settings& settings);

// Loads the file the way the plug-in loads a file it is asked to play: settings applied and
// its length scanned. False with the failure (reason and exit status) when it cannot be played.
bool loadSong(const std::string& path, const Settings& settings, LoadedSong& song,
              Failure& failure);

} // namespace tolva::cli
