#include "settings/Settings.h"

namespace tolva {

namespace {
constexpr uint8_t Settings::*FormatSwitches[] = {
    &Settings::enableMod, &Settings::enable669, &Settings::enableMtm,  &Settings::enableS3m,
    &Settings::enableXm,  &Settings::enableIt,  &Settings::enableMod15};
} // namespace

uint8_t& Settings::formatEnable(uint32_t index) {
    return this->*FormatSwitches[index];
}

uint8_t Settings::formatEnable(uint32_t index) const {
    return this->*FormatSwitches[index];
}

void setDefaults(Settings& settings) {
    settings = Settings{};
}

void replaceUnusableFields(Settings& settings) {
    const Settings defaults;
    if (settings.titleFormat > 2)
        settings.titleFormat = defaults.titleFormat;
    if (settings.lengthMode > LengthDetectLoop)
        settings.lengthMode = defaults.lengthMode;
    if (settings.mixingFrequency < MinMixingFrequency ||
        settings.mixingFrequency > MaxMixingFrequency)
        settings.mixingFrequency = defaults.mixingFrequency;
    if (settings.outputBits != 8 && settings.outputBits != 16 && settings.outputBits != 32)
        settings.outputBits = defaults.outputBits;
    if (settings.amp < -MaxAmp || settings.amp > MaxAmp)
        settings.amp = defaults.amp;
}

} // namespace tolva
