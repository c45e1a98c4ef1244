#pragma once
// The plug-in's entry points, in the order of the input-module record.
#include "host/HostRecords.h"

namespace tolva::host {

void TOLVA_CDECL Config(HWND parent);
void TOLVA_CDECL About(HWND parent);
void TOLVA_CDECL Init();
void TOLVA_CDECL Quit();
void TOLVA_CDECL GetFileInfo(const char* file, char* title, int* lengthMs);
int TOLVA_CDECL InfoBox(const char* file, HWND parent);
int TOLVA_CDECL IsOurFile(const char* file);
int TOLVA_CDECL Play(const char* file);
void TOLVA_CDECL Pause();
void TOLVA_CDECL UnPause();
int TOLVA_CDECL IsPaused();
void TOLVA_CDECL Stop();
int TOLVA_CDECL GetLength();
int TOLVA_CDECL GetOutputTime();
void TOLVA_CDECL SetOutputTime(int ms);
void TOLVA_CDECL SetVolume(int volume);
void TOLVA_CDECL SetPan(int pan);
void TOLVA_CDECL EQSet();

} // namespace tolva::host
