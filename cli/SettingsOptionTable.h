#pragma once
#include "settings/Settings.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace tolva::cli {

// Which settings a command offers: only those that change what it does.
enum SettingsGroup : unsigned {
    LengthSettings = 1, // how long a song plays, counted at the mixing rate; the formats read
    SoundSettings = 2,  // what the output sounds like
    DialogSettings = 4, // fields only the plug-in's playlist and dialog use
    AllSettings = 7,
    // What the tool plays beyond the record: interpolation past on and off, float samples,
    // stereo separation, muted channels.
    ToolSound = 8,
};

// What the settings options hold once the command line is read.
struct OptionValues {
    std::string file; // --settings
    uint32_t titleFormat = 0;
    std::string lengthMode;
    uint32_t rate = 0;
    uint32_t trailingSilence = 0;
    uint32_t loops = 0;
    uint32_t extraSeconds = 0;
    double ampDb = 0;
    std::string bits;
    bool stripEmptyPatterns = false;
    bool removeSilence = false;
    bool removeInitialSilence = false;
    bool limitTrailingSilence = false;
    bool loopByCount = false;
    bool extraPlayTime = false;
    bool oldProTracker = false;
    bool modPanning = false;
    std::string interpolation;
    uint32_t stereoSeparation = 100;
    std::vector<uint32_t> muted;
    std::vector<uint32_t> solo;
    bool mono = false;
    bool reverseStereo = false;
    std::vector<std::string> disabled;
    std::vector<std::string> enabled;
};

// Where an option's value is read into.
using OptionField =
    std::variant<bool OptionValues::*, uint32_t OptionValues::*, double OptionValues::*,
                 std::string OptionValues::*, std::vector<uint32_t> OptionValues::*,
                 std::vector<std::string> OptionValues::*>;

// One option of the settings: a switch when its field is a bool, else an option with a value.
struct OptionRow {
    std::string names; // a switch names its negation too: "--mono,!--no-mono"
    std::string valueName;
    OptionField field;
    std::string help; // with the default it stands for
    std::optional<CLI::Validator> check;
    // What the option changes in the settings record; none for the choices beyond it.
    void (*apply)(const OptionValues&, Settings&) = nullptr;
    char delimiter = 0; // between the items of a list
};

// The options of a command offering `groups`, in the order its help lists them.
std::vector<OptionRow> settingsOptionRows(unsigned groups);

} // namespace tolva::cli
