#include "host/ModuleCache.h"

#include "engine/LengthScan.h"
#include "engine/SongSettings.h"
#include "host/EntryLock.h"
#include "host/PlaybackState.h"
#include "song/FileStream.h"
#include "song/SongSession.h"

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
    LoadedModule& module = *ref;
    // Finding silence means listening to the song: a scan that removes silence needs the
    // sample data even when only the song's facts were asked for.
    if (computeLength && state.settings.removeSilence)
        infoOnly = false;
    module.infoOnly = infoOnly;
    std::size_t nameLength = std::strlen(file);
    // A name longer than the record holds could not be found in the cache again; such a
    // file is kept as unplayable.
    if (nameLength > MaxFileNameLength) {
        std::memcpy(module.fileName, file, MaxFileNameLength);
        return ref;
    }
    std::memcpy(module.fileName, file, nameLength + 1);
    FileStream stream(file, platform::FileMode::Read);
    module.fileSize = stream.size();
    module.session = createSession(stream, infoOnly);
    if (module.session) {
        applySettings(module.session->player(), state.settings, infoOnly);
        if (computeLength) {
            SongLength scan = scanLength(*module.session, state.settings);
            module.lengthMs = scan.lengthMs;
            module.startOffsetMs = scan.startOffsetMs;
            module.limitLength = scan.limitLength;
        }
    }
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
        if (reload) {
            loaded->lengthMs = cached->lengthMs;
            loaded->startOffsetMs = cached->startOffsetMs;
            loaded->limitLength = cached->limitLength;
        }
        answer = loaded;
        if (!state.playThread)
            state.currentModule = loaded;
    }
    if (state.infoDialog)
        PostMessageA(state.infoDialog, RefreshInfoDialog, 0, 0);
    return answer;
}

} // namespace tolva::host
