#pragma once
#include <cstdint>

namespace tolva {

// Room for the host's settings folder, "\Plugins", "\in_tolva.dat" and the terminator.
constexpr uint32_t SettingsPathCapacity = 280;

struct SettingsPath {
    char text[SettingsPathCapacity] = {};
    bool empty() const { return text[0] == 0; }
};

// Composes <hostFolder>/Plugins/in_tolva.dat, creating the Plugins folder when asked. No
// folder, or one too long for the buffer, leaves the path empty: then nothing is loaded
// or kept.
void buildSettingsPath(const char* hostFolder, bool createFolder, SettingsPath& path);

} // namespace tolva
