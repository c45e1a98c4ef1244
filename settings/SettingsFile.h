#pragma once
// The settings file: the record's 45 bytes, little-endian, with nothing before or after.
#include "settings/Settings.h"

#include <cstdint>

namespace tolva {

constexpr uint32_t SettingsFileSize = 45;

void encodeSettings(const Settings& settings, uint8_t (&bytes)[SettingsFileSize]);
Settings decodeSettings(const uint8_t (&bytes)[SettingsFileSize]);

// True when the file supplied a record and `live` now holds it (fields the system cannot
// use replaced by their defaults); false leaves `live` as it was.
bool loadSettings(const char* path, Settings& live);

// Writes a temporary file beside `path` and moves it over `path`, so the old file stays
// whole when anything fails. True when the new file is in place.
bool saveSettings(const char* path, const Settings& settings);

} // namespace tolva
