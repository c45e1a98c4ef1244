#pragma once
#include "host/HostRecords.h"

namespace tolva::host {

// The record the player receives from winampGetInModule2; it fills in its own fields.
extern InputModule plugin;

// The plug-in's own instance, kept at process attach (dialog resources live there).
extern HINSTANCE libraryInstance;

} // namespace tolva::host
