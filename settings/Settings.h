#pragma once
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
    // One switch per format, in registry order.
    uint8_t enableMod = 1;
    uint8_t enable669 = 1;
    uint8_t enableMtm = 1;
    uint8_t enableS3m = 1;
    uint8_t enableXm = 1;
    uint8_t enableIt = 1;
    uint8_t enableMod15 = 1;

    // The format switch of registry entry `index` (0..6).
    uint8_t& formatEnable(uint32_t index);
    uint8_t formatEnable(uint32_t index) const;

    bool operator==(const Settings&) const = default;
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
