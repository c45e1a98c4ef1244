// The entry points that open the plug-in's windows.
#include "host/Dialogs.h"
#include "host/EntryLock.h"
#include "host/EntryPoints.h"
#include "host/ModuleCache.h"
#include "host/PlaybackState.h"

namespace tolva::host {

void TOLVA_CDECL Config(HWND parent) {
    showConfiguration(parent);
}

void TOLVA_CDECL About(HWND parent) {
    showAbout(parent);
}

int TOLVA_CDECL InfoBox(const char* file, HWND parent) {
    if (!file)
        return 0;
    bool described = false;
    {
        EntryLock lock;
        state.infoModule = acquireModule(file, true);
        described = state.infoModule && state.infoModule->session;
    }
    if (described)
        showModuleInformation(parent);
    EntryLock lock;
    state.infoModule.release();
    return 0;
}

} // namespace tolva::host
