#include "host/ModuleCache.h"

#include "host/EntryLock.h"
#include "host/PlaybackState.h"
#include "settings/SettingsConversion.h"

#include <cstring>

namespace tolva::host {

namespace {

constexpr UINT RefreshInfoDialog = WM_USER + 1;

bool sameFile(const LoadedModule& module, const char* file) {
    return std::strcmp(module.fileName, file) == 0;
}

ModuleRef loadModule(const char* file, bool infoOnly, bool computeLength) {
    ModuleRef ref = ModuleRef::create();
    if (!ref)
        return ref;
    std::size_t nameLength = std::strlen(file);
    // A name longer than the record holds could not be found in the cache again; such a
    // file is kept as unplayable.
    if (nameLength > MaxFileNameLength) {
        std::memcpy(ref->fileName, file, MaxFileNameLength);
        return ref;
    }
    std::memcpy(ref->fileName, file, nameLength + 1);
    LoadOptions options;
    {
        EntryLock lock; // the configuration dialog may be applying new settings
        options = loadOptions(state.settings);
    }
    options.infoOnly = infoOnly;
    options.scan = computeLength;
    loadSongFile(file, options, *ref);
    return ref;
}

} // namespace

ModuleRef acquireModule(const char* file, bool infoOnly) {
    ModuleRef cached;
    {
        EntryLock lock;
        if (state.infoModule && sameFile(*state.infoModule, file) &&
            (infoOnly || !state.infoModule->infoOnly)) {
            if (!state.playThread)
                state.currentModule = state.infoModule;
            return state.infoModule;
        }
        if (state.currentModule && sameFile(*state.currentModule, file))
            cached = state.currentModule;
    }
    const bool reload = cached && !infoOnly && cached->infoOnly;
    // Loading takes long; the other entry points go on meanwhile. What is loaded is published
    // under the lock, and only while nothing plays.
    ModuleRef loaded;
    if (reload)
        loaded = loadModule(file, false, false);
    else if (!cached)
        loaded = loadModule(file, infoOnly, true);
    EntryLock lock;
    ModuleRef answer = cached;
    if (loaded) {
        if (reload)
            loaded->length = cached->length;
        answer = loaded;
        if (!state.playThread)
            state.currentModule = loaded;
    }
    if (state.infoDialog)
        PostMessageA(state.infoDialog, RefreshInfoDialog, 0, 0);
    return answer;
}

} // namespace tolva::host
