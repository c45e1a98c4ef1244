#pragma once
#include "SettingsOptionTable.h"
#include "mixer/Voice.h"
#include "settings/Settings.h"

#include <CLI/CLI.hpp>
#include <optional>
#include <string>
#include <vector>

namespace tolva::cli {

// The sound a command asks for beyond the settings record, whose file holds interpolation only
// as on or off, and none of the rest.
struct SoundChoices {
    std::optional<Interpolation> interpolation; // none: the record's switch decides
    uint16_t stereoSeparation = 100;            // percent
    uint64_t mutedChannels = 0;                 // bit n: channel n + 1
    bool floatSamples = false;
};

// The options a command takes to choose its settings: a settings file to start from
// (--settings) and one option per field of the record it uses.
class SettingsOptions {
public:
    void addTo(CLI::App& command, unsigned groups);

    // The settings file named by --settings, or "" for the defaults.
    const std::string& file() const { return values_.file; }
    // Options that contradict each other; false with the reason.
    bool consistent(std::string& reason) const;
    // The defaults, or the --settings file with the fields the plug-in cannot use replaced,
    // with the options given on the command line applied over them. False, with a reason, when
    // the settings file cannot be read.
    bool resolve(Settings& settings, std::string& reason) const;
    // Applies only the options given on the command line.
    void applyOptions(Settings& settings) const;
    // The choices beyond the record given on the command line.
    SoundChoices soundChoices() const;

private:
    // Whether the option named `name` was given on the command line.
    bool given(const std::string& name) const;

    struct Added {
        CLI::Option* option;
        void (*apply)(const OptionValues&, Settings&);
    };
    std::vector<Added> added_;
    OptionValues values_;
};

// The record a settings file holds, as it is, before anything is replaced. False with the
// reason when the file cannot be read or is too short.
bool readSettingsFile(const std::string& path, Settings& stored, std::string& reason);

// A check that the value is one of `names`, telling them when it is not.
CLI::Validator oneOf(std::vector<std::string> names);

// The formats' names as the options spell them, in the order of their settings switches.
std::vector<std::string> formatOptionNames();

} // namespace tolva::cli
