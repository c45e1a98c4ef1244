#include "host/PluginRecord.h"

#include "host/EntryPoints.h"

namespace tolva::host {

namespace {
// Extension / description pairs, ended by an empty string.
const char FileTypes[] = "MOD\0Amiga ProTracker File (*.MOD)\0"
                         "MTM\0MultiTracker File (*.MTM)\0"
                         "669\0Composer 669 File (*.669)\0"
                         "S3M\0ScreamTracker3 File (*.S3M)\0"
                         "XM\0FastTracker2 File (*.XM)\0"
                         "IT\0ImpulseTracker File (*.IT)\0";
} // namespace

// The fields left out are the player's; it fills them in before the first call.
InputModule plugin = {
    .version = InputModuleVersion,
    .description = "Taldo's Module Decoder v0.96 (x86)",
    .FileExtensions = FileTypes,
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
    return &tolva::host::plugin;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        tolva::host::libraryInstance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}
