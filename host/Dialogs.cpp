// Placeholder windows until the dialogs exist: the about box is a message box, the others
// show nothing.
#include "host/Dialogs.h"

#include "host/PluginRecord.h"

namespace tolva::host {

void showConfiguration(HWND) {}

void showAbout(HWND parent) {
    MessageBoxA(parent, plugin.description, "About TOLVA", MB_OK | MB_ICONINFORMATION);
}

void showModuleInformation(HWND, const ModuleRef&) {}

} // namespace tolva::host
