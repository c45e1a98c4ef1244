#include "PluginLibrary.h"

#include "HostServices.h"
#include "SoundCard.h"

namespace winhost {

namespace {
// Looks up an export as a function of type F; the detour through void(*)() tells the
// compiler that the cast between function types is deliberate.
template <typename F> F exportOf(HMODULE library, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}
} // namespace

PluginLibrary::~PluginLibrary() {
    if (library_)
        FreeLibrary(library_);
}

bool PluginLibrary::load(const char* path, HWND mainWindow, SoundCard& card, HostServices& services,
                         std::string& error) {
    library_ = LoadLibraryA(path);
    if (!library_) {
        error = "cannot load the library (error " + std::to_string(GetLastError()) + ")";
        return false;
    }
    using GetModule = tolva::host::InputModule*(TOLVA_CDECL*)();
    auto get = exportOf<GetModule>(library_, "winampGetInModule2");
    if (!get) {
        error = "no export winampGetInModule2";
        return false;
    }
    plugin_ = get();
    if (!plugin_ || plugin_->version != tolva::host::InputModuleVersion) {
        error = "no input-module record of the expected version";
        return false;
    }
    plugin_->hMainWindow = mainWindow;
    plugin_->hDllInstance = library_;
    plugin_->outMod = card.record();
    services.install(*plugin_);
    return true;
}

int PluginLibrary::uninstall() {
    using Uninstall = int(TOLVA_CDECL*)();
    auto call = exportOf<Uninstall>(library_, "winampUninstallPlugin");
    return call ? call() : -1;
}

} // namespace winhost
