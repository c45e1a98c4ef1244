#include "host/PluginRecord.h"

#include "formats/FormatTable.h"
#include "host/EntryPoints.h"

#include <cstring>

namespace tolva::host {

namespace {

// Extension / description pairs of the format rows that name one, ended by an empty string.
char fileTypes[512];

void listFileTypes() {
    char* end = fileTypes;
    const char* const last = fileTypes + sizeof fileTypes - 1;
    for (const FormatRow& row : formatRows()) {
        if (!row.extension)
            continue;
        for (const char* text : {row.extension, row.fileType}) {
            const std::size_t size = std::strlen(text) + 1;
            if (end + size > last)
                return;
            std::memcpy(end, text, size);
            end += size;
        }
    }
}

} // namespace

// The fields left out are the player's; it fills them in before the first call.
InputModule plugin = {
    .version = InputModuleVersion,
    .description = "Taldo's Module Decoder v0.96 (x86)",
    .FileExtensions = fileTypes,
    .is_seekable = 1,
    .UsesOutputPlug = 1,
    .Config = Config,
    .About = About,
    .Init = Init,
    .Quit = Quit,
    .GetFileInfo = GetFileInfo,
    .InfoBox = InfoBox,
    .IsOurFile = IsOurFile,
    .Play = Play,
    .Pause = Pause,
    .UnPause = UnPause,
    .IsPaused = IsPaused,
    .Stop = Stop,
    .GetLength = GetLength,
    .GetOutputTime = GetOutputTime,
    .SetOutputTime = SetOutputTime,
    .SetVolume = SetVolume,
    .SetPan = SetPan,
    .EQSet = EQSet,
};

HINSTANCE libraryInstance = nullptr;

} // namespace tolva::host

extern "C" __declspec(dllexport) tolva::host::InputModule* TOLVA_CDECL winampGetInModule2() {
    tolva::host::listFileTypes();
    return &tolva::host::plugin;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        tolva::host::libraryInstance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
