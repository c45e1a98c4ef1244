#pragma once
#include "host/LiveOptions.h"
#include "host/LoadedModule.h"
#include "host/PlaybackClock.h"
#include "platform/Thread.h"
#include "settings/Settings.h"
#include "settings/SettingsPath.h"

#include <atomic>
#include <cstdint>
#include <windows.h>

namespace tolva::host {

// Everything the entry points and the playback thread share.
struct PlaybackState : PlaybackClock {
    std::atomic<bool> usable{false}; // the processor has SSE2
    // The module being played, or the last one loaded while nothing plays. It changes only
    // while no playback thread exists, so the thread needs no reference of its own.
    ModuleRef currentModule;
    ModuleRef infoModule; // shown by the information dialog
    Settings settings;
    // What the playback thread takes from the settings, published whenever they change.
    LiveOptions liveOptions;
    // Output format of the running playback, fixed when it starts.
    uint32_t playRate = 0;
    uint32_t playBits = 0;
    platform::ThreadHandle playThread = nullptr;
    SettingsPath settingsPath;
    HWND infoDialog = nullptr; // the open information dialog
};

extern PlaybackState state;

} // namespace tolva::host
