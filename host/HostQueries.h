#pragma once
#include <windows.h>

namespace tolva::host {

// Asks the player's main window for one of its folders (QuerySettingsDir, QueryPluginDir);
// null when the player has no answer.
const char* askHostFolder(HWND mainWindow, LPARAM query);

} // namespace tolva::host
