#pragma once
#include "host/LoadedModule.h"

namespace tolva::host {

// The module for `file`, from the cache (the information dialog's module or the current
// one) or freshly loaded; empty only when memory is short. File names are compared byte for
// byte. `infoOnly` asks for the song without sample data.
ModuleRef acquireModule(const char* file, bool infoOnly);

} // namespace tolva::host
