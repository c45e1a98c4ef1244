#pragma once
// The plug-in's windows: configuration, about box and module information.
#include "host/LoadedModule.h"

#include <windows.h>

namespace tolva::host {

void showConfiguration(HWND parent);
void showAbout(HWND parent);
// Runs modally for the module in `state.infoModule`, which has a session.
void showModuleInformation(HWND parent);

} // namespace tolva::host
