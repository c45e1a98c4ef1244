#pragma once
// The plug-in's windows: configuration, about box and module information.
#include "host/LoadedModule.h"

#include <windows.h>

namespace tolva::host {

void showConfiguration(HWND parent);
void showAbout(HWND parent);
// Runs modally; `module` has a session.
void showModuleInformation(HWND parent, const ModuleRef& module);

} // namespace tolva::host
