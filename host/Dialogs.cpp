// The plug-in's windows, opened for the host's requests.
#include "host/Dialogs.h"

#include "host/PlaybackState.h"
#include "host/PluginRecord.h"
#include "settings/dialog/AboutDialog.h"
#include "settings/dialog/ConfigDialog.h"
#include "ui/info/InfoDialog.h"

#include <commctrl.h>

namespace tolva::host {

namespace {
// The window classes of the trackbar, spin, list and tab controls.
void registerCommonControls() {
    INITCOMMONCONTROLSEX classes{};
    classes.dwSize = sizeof classes;
    classes.dwICC = ICC_BAR_CLASSES | ICC_UPDOWN_CLASS | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES;
    InitCommonControlsEx(&classes);
}
} // namespace

void showConfiguration(HWND parent) {
    registerCommonControls();
    runConfigDialog(parent, libraryInstance, state);
}

void showAbout(HWND parent) {
    registerCommonControls();
    runAboutDialog(parent, libraryInstance);
}

void showModuleInformation(HWND parent) {
    registerCommonControls();
    ui::runInfoDialog(parent, libraryInstance, state.infoModule);
}

} // namespace tolva::host
