#include "settings/Settings.h"

namespace tolva {

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
