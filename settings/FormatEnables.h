#pragma once
#include "settings/Settings.h"

namespace tolva {

// Switches each registry handler on or off by the settings' format switch of the same index.
void applyFormatEnables(const Settings& settings);

} // namespace tolva
