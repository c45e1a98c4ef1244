// Start, end and removal of the plug-in.
#include "host/EntryLock.h"
#include "host/EntryPoints.h"
#include "host/HostQueries.h"
#include "host/PlaybackState.h"
#include "host/PluginRecord.h"
#include "host/ProcessorCheck.h"
#include "platform/File.h"
#include "settings/SettingsFile.h"

#include <cstring>

namespace tolva::host {

void TOLVA_CDECL Init() {
    if (processorHasSse2()) {
        state.playThread = nullptr;
        state.currentModule.release();
        setDefaults(state.settings);
        state.usable = true;
    } else {
        MessageBoxA(plugin.hMainWindow,
                    "TOLVA Plugin is not usable on this computer\n"
                    "because of the lack of SSE2 support!",
                    "TOLVA Warning", MB_OK | MB_ICONERROR);
        state.usable = false;
    }
    buildSettingsPath(askHostFolder(plugin.hMainWindow, QuerySettingsDir), true,
                      state.settingsPath);
    if (!state.settingsPath.empty())
        loadSettings(state.settingsPath.text, state.settings);
}

void TOLVA_CDECL Quit() {
    // The player stops playback before it quits; a thread left running would outlive the
    // module it plays.
    EntryLock lock;
    if (state.playThread)
        Stop();
    state.infoModule.release();
    state.currentModule.release();
}

} // namespace tolva::host

// Called before the player removes the plug-in: forgets the settings. Answers 0 while a song
// is playing.
extern "C" __declspec(dllexport) int TOLVA_CDECL winampUninstallPlugin() {
    using namespace tolva::host;
    state.usable = false;
    tolva::SettingsPath settingsFile;
    tolva::buildSettingsPath(askHostFolder(plugin.hMainWindow, QuerySettingsDir), false,
                             settingsFile);
    if (!settingsFile.empty())
        tolva::platform::deleteFile(settingsFile.text);
    if (const char* folder = askHostFolder(plugin.hMainWindow, QueryPluginDir)) {
        constexpr char Leftover[] = "\\in_tolva.txt";
        char path[MAX_PATH + sizeof Leftover];
        std::size_t length = std::strlen(folder);
        if (length < MAX_PATH) {
            std::memcpy(path, folder, length);
            std::memcpy(path + length, Leftover, sizeof Leftover);
            tolva::platform::deleteFile(path);
        }
    }
    return state.playThread ? 0 : 1;
}
