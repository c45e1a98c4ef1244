#pragma once
#include "host/HostRecords.h"

#include <string>

namespace winhost {

class HostServices;
class SoundCard;

// Loads an input plug-in as the player does: takes its record from `winampGetInModule2`,
// checks the layout version and fills in the player's fields.
class PluginLibrary {
public:
    PluginLibrary() = default;
    ~PluginLibrary();
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // On failure `error` says why.
    bool load(const char* path, HWND mainWindow, SoundCard& card, HostServices& services,
              std::string& error);
    tolva::host::InputModule& plugin() { return *plugin_; }
    // Calls the uninstall export; -1 when the library has none.
    int uninstall();

private:
    HMODULE library_ = nullptr;
    tolva::host::InputModule* plugin_ = nullptr;
};

} // namespace winhost
