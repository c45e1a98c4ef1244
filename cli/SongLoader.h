#pragma once
#include "Failure.h"
#include "engine/LengthScan.h"
#include "settings/Settings.h"
#include "song/SongSession.h"

#include <memory>
#include <string>

namespace tolva::cli {

// A module loaded the way the plug-in loads a file it is asked to play: settings applied and
// its length scanned.
struct LoadedSong {
    std::unique_ptr<SongSession> session;
    SongLength length;
    uint32_t fileSize = 0;
};

// Switches the format handlers as the settings say; call once settings are known.
void enableFormats(const Settings& settings);

// False with the failure (reason and exit status) when the file cannot be played.
bool loadSong(const std::string& path, const Settings& settings, LoadedSong& song,
              Failure& failure);

} // namespace tolva::cli
