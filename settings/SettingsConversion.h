#pragma once
#include "formats/SongPipeline.h"
#include "settings/Settings.h"

namespace tolva {

// What the settings ask of a load: the song options (no seed) and the formats switched on.
LoadOptions loadOptions(const Settings& settings);

} // namespace tolva
