#pragma once
#include "mixer/Voice.h"
#include "settings/Settings.h"

#include <CLI/CLI.hpp>
#include <functional>
#include <optional>
#include <string>
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
    const std::string& file() const { return file_; }
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
    template <typename T>
    CLI::Option* addValue(CLI::App& command, const std::string& name, const std::string& valueName,
                          T& value, const std::string& help, std::function<void(Settings&)> apply);
    void addSwitch(CLI::App& command, const std::string& names, bool& value,
                   const std::string& help, std::function<void(Settings&)> apply);
    void addSoundOptions(CLI::App& command, bool toolSound);

    struct Edit {
        CLI::Option* option;
        std::function<void(Settings&)> apply;
    };
    std::vector<Edit> edits_;
    CLI::Option* loopsOption_ = nullptr;
    CLI::Option* extraSecondsOption_ = nullptr;
    CLI::Option* interpolationOption_ = nullptr;

    std::string file_;
    uint32_t titleFormat_ = 0;
    std::string lengthMode_;
    uint32_t rate_ = 0;
    uint32_t trailingSilence_ = 0;
    uint32_t loops_ = 0;
    uint32_t extraSeconds_ = 0;
    double ampDb_ = 0;
    std::string bits_;
    bool stripEmptyPatterns_ = false;
    bool removeSilence_ = false;
    bool removeInitialSilence_ = false;
    bool limitTrailingSilence_ = false;
    bool loopByCount_ = false;
    bool extraPlayTime_ = false;
    bool oldProTracker_ = false;
    bool modPanning_ = false;
    std::string interpolation_;
    uint32_t stereoSeparation_ = 100;
    std::vector<uint32_t> muted_;
    std::vector<uint32_t> solo_;
    bool mono_ = false;
    bool reverseStereo_ = false;
    std::vector<std::string> disabled_;
    std::vector<std::string> enabled_;
};

// The record a settings file holds, as it is, before anything is replaced. False with the
// reason when the file cannot be read or is too short.
bool readSettingsFile(const std::string& path, Settings& stored, std::string& reason);

// A check that the value is one of `names`, telling them when it is not.
CLI::Validator oneOf(std::vector<std::string> names);

// The formats' names as the options spell them, in the order of their settings switches.
std::vector<std::string> formatOptionNames();

} // namespace tolva::cli
