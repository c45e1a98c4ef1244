#pragma once
// The records the media player and an input plug-in exchange, field by field in the player's
// own order and under its own field names. 32-bit only; every function uses the C calling
// convention, so a caller may pass arguments that a callee ignores.
#include <cstddef>
#include <windows.h>

namespace tolva::host {

#define TOLVA_CDECL __cdecl

// Version stamp of the input-module layout below.
constexpr int InputModuleVersion = 0x100;

// Messages to the player's main window.
constexpr UINT MessageEndOfFile = 1026;  // posted, both parameters 0
constexpr UINT MessageQuery = WM_USER;   // sent with wParam 0 and one of the queries below
constexpr LPARAM QuerySettingsDir = 335; // answer: narrow text or 0
constexpr LPARAM QueryPluginDir = 336;   // answer: narrow text or 0

// Volume value that keeps the output's current volume.
constexpr int KeepVolume = -666;

// The player's output plug-in, handed to the input plug-in in `outMod`.
struct OutputModule {
    int version = 0;
    char* description = nullptr;
    int id = 0;
    HWND hMainWindow = nullptr;
    HINSTANCE hDllInstance = nullptr;
    void(TOLVA_CDECL* Config)(HWND parent) = nullptr;
    void(TOLVA_CDECL* About)(HWND parent) = nullptr;
    void(TOLVA_CDECL* Init)() = nullptr;
    void(TOLVA_CDECL* Quit)() = nullptr;
    // Negative on failure, else the maximum latency in milliseconds.
    int(TOLVA_CDECL* Open)(int rate, int channels, int bits, int bufferMs,
                           int prebufferMs) = nullptr;
    void(TOLVA_CDECL* Close)() = nullptr;
    void(TOLVA_CDECL* Write)(char* block, int bytes) = nullptr;
    int(TOLVA_CDECL* CanWrite)() = nullptr;  // bytes that fit now
    int(TOLVA_CDECL* IsPlaying)() = nullptr; // non-zero while written audio still sounds
    void(TOLVA_CDECL* Pause)(int pause) = nullptr;
    void(TOLVA_CDECL* SetVolume)(int volume) = nullptr;
    void(TOLVA_CDECL* SetPan)(int pan) = nullptr;
    void(TOLVA_CDECL* Flush)(int playTimeMs) = nullptr;
    int(TOLVA_CDECL* GetOutputTime)() = nullptr;  // ms heard so far
    int(TOLVA_CDECL* GetWrittenTime)() = nullptr; // ms written so far
};

// A service slot of the player that this plug-in never calls; only its place matters.
using UnusedService = void(TOLVA_CDECL*)();

// The input-module record. The player fills the fields marked "player".
struct InputModule {
    int version = 0;
    const char* description = nullptr;
    HWND hMainWindow = nullptr;       // player
    HINSTANCE hDllInstance = nullptr; // player
    const char* FileExtensions = nullptr;
    int is_seekable = 0;
    int UsesOutputPlug = 0;
    void(TOLVA_CDECL* Config)(HWND parent) = nullptr;
    void(TOLVA_CDECL* About)(HWND parent) = nullptr;
    void(TOLVA_CDECL* Init)() = nullptr;
    void(TOLVA_CDECL* Quit)() = nullptr;
    void(TOLVA_CDECL* GetFileInfo)(const char* file, char* title, int* lengthMs) = nullptr;
    int(TOLVA_CDECL* InfoBox)(const char* file, HWND parent) = nullptr;
    int(TOLVA_CDECL* IsOurFile)(const char* file) = nullptr;
    int(TOLVA_CDECL* Play)(const char* file) = nullptr; // 0 success, 1 failure
    void(TOLVA_CDECL* Pause)() = nullptr;
    void(TOLVA_CDECL* UnPause)() = nullptr;
    int(TOLVA_CDECL* IsPaused)() = nullptr;
    void(TOLVA_CDECL* Stop)() = nullptr;
    int(TOLVA_CDECL* GetLength)() = nullptr;
    int(TOLVA_CDECL* GetOutputTime)() = nullptr;
    void(TOLVA_CDECL* SetOutputTime)(int ms) = nullptr;
    void(TOLVA_CDECL* SetVolume)(int volume) = nullptr;
    void(TOLVA_CDECL* SetPan)(int pan) = nullptr;
    // Visualisation and DSP services: player.
    void(TOLVA_CDECL* SAVSAInit)(int maxLatencyMs, int rate) = nullptr;
    void(TOLVA_CDECL* SAVSADeInit)() = nullptr;
    void(TOLVA_CDECL* SAAddPCMData)(void* block, int channels, int bits, int timeMs) = nullptr;
    UnusedService SAGetMode = nullptr;
    UnusedService SAAdd = nullptr;
    void(TOLVA_CDECL* VSAAddPCMData)(void* block, int channels, int bits, int timeMs) = nullptr;
    UnusedService VSAGetMode = nullptr;
    UnusedService VSAAdd = nullptr;
    void(TOLVA_CDECL* VSASetInfo)(int rate, int channels) = nullptr;
    int(TOLVA_CDECL* dsp_isactive)() = nullptr;
    // Answers the new frame count, at most twice the frames given.
    int(TOLVA_CDECL* dsp_dosamples)(void* block, int frames, int bits, int channels,
                                    int rate) = nullptr;
    // The player passes its equaliser values here; this plug-in has no equaliser.
    void(TOLVA_CDECL* EQSet)() = nullptr;
    void(TOLVA_CDECL* SetInfo)(int kbps, int khz, int channels, int synched) = nullptr; // player
    OutputModule* outMod = nullptr;                                                     // player
};

static_assert(sizeof(void*) == 4, "the player's records are 32-bit");
static_assert(sizeof(OutputModule) == 20 * 4);
static_assert(sizeof(InputModule) == 38 * 4);
static_assert(offsetof(InputModule, Config) == 7 * 4);
static_assert(offsetof(InputModule, SAVSAInit) == 24 * 4);
static_assert(offsetof(InputModule, EQSet) == 35 * 4);
static_assert(offsetof(OutputModule, Open) == 9 * 4);

} // namespace tolva::host
