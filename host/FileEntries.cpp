// The playlist's questions about a file: is it ours, its title and its length.
#include "engine/Player.h"
#include "engine/SongSession.h"
#include "host/EntryLock.h"
#include "host/EntryPoints.h"
#include "host/FileTitle.h"
#include "host/ModuleCache.h"
#include "host/PlaybackState.h"

#include <cstring>

namespace tolva::host {

void TOLVA_CDECL GetFileInfo(const char* file, char* title, int* lengthMs) {
    if (!title && !lengthMs)
        return;
    const char* source = file && file[0] ? file : nullptr;
    // Copied: acquiring may replace the module whose name this is.
    char currentName[MaxFileNameLength + 1];
    if (!source) {
        EntryLock lock;
        if (!state.currentModule) {
            if (title)
                title[0] = 0;
            if (lengthMs)
                *lengthMs = 0;
            return;
        }
        std::memcpy(currentName, state.currentModule->fileName, sizeof currentName);
        source = currentName;
    }
    ModuleRef ref = acquireModule(source, true);
    if (title) {
        const char* songTitle = ref && ref->session ? ref->session->player().song.title : "";
        uint32_t titleFormat;
        {
            EntryLock lock; // the configuration dialog may be applying new settings
            titleFormat = state.settings.titleFormat;
        }
        composeTitle(titleFormat, songTitle, source, title);
    }
    if (lengthMs)
        *lengthMs = ref ? static_cast<int>(ref->length.lengthMs) : 0;
}

int TOLVA_CDECL IsOurFile(const char* file) {
    if (!state.usable || !file)
        return 0;
    ModuleRef ref = acquireModule(file, true);
    return ref && ref->session ? 1 : 0;
}

int TOLVA_CDECL GetLength() {
    EntryLock lock;
    ModuleRef current = state.currentModule;
    return current ? static_cast<int>(current->length.lengthMs) : 0;
}

} // namespace tolva::host
