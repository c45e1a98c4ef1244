#pragma once
#include "engine/FormatId.h"

#include <array>
#include <cstdint>

namespace tolva {

// Every user option, with its default. Flags are one byte each: 0 off, anything else on.
struct Settings {
    uint32_t titleFormat = 2; // 0 title, 1 title - file, 2 "TOLVA: " title - file
    uint32_t lengthMode = 0;  // LengthNoBackwardJumps or LengthDetectLoop
    uint32_t mixingFrequency = 44100;
    uint32_t trailingSilenceSeconds = 1;
    uint32_t loopCount = 1;
    uint32_t extraLoopSeconds = 0;
    int16_t amp = 0; // hundredths of a decibel
    uint8_t outputBits = 16;
    uint8_t stripTrailingEmptyPatterns = 0;
    uint8_t removeSilence = 0;
    uint8_t removeInitialSilence = 0; // kept for the dialog; the length scan ignores it
    uint8_t limitTrailingSilence = 0; // kept for the dialog; the length scan ignores it
    uint8_t loopByCount = 0;
    uint8_t extraPlayTime = 0;
    uint8_t oldProTrackerMode = 0;
    uint8_t disableModPanning = 1;
    uint8_t disableOversampling = 0;
    uint8_t forceMono = 0;
    uint8_t reverseStereo = 0;
    // One switch per format, at the index its format row names (FormatRow::settingsSwitch).
    std::array<uint8_t, FormatCount> formatSwitches = allSwitchesOn();

    bool operator==(const Settings&) const = default;

private:
    static constexpr std::array<uint8_t, FormatCount> allSwitchesOn() {
        std::array<uint8_t, FormatCount> on{};
        on.fill(1);
        return on;
    }
};

enum : uint32_t { LengthNoBackwardJumps = 0, LengthDetectLoop = 1 };

constexpr uint32_t MinMixingFrequency = 5000;
constexpr uint32_t MaxMixingFrequency = 96000;
constexpr int16_t MaxAmp = 1500;
constexpr uint32_t MaxLoopCount = 9999;
constexpr uint32_t MaxSilenceOrExtraSeconds = 10000000;

void setDefaults(Settings& settings);

// Puts back the default of every field the rest of the system could not work with (a zero
// mixing rate, a gain index outside the table, an unknown output width or mode).
void replaceUnusableFields(Settings& settings);

} // namespace tolva
