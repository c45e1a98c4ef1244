#pragma once
#include "settings/Settings.h"

namespace tolva {

// What the configuration dialog needs from the plug-in that keeps the settings.
class SettingsOwner {
public:
    virtual const Settings& liveSettings() const = 0;
    // Makes `settings` live: applied to the loaded song and the format switches, and saved.
    virtual void applySettings(const Settings& settings) = 0;

protected:
    ~SettingsOwner() = default;
};

} // namespace tolva
