#pragma once
#include "settings/Settings.h"

#include <CLI/CLI.hpp>
#include <functional>
#include <string>
#include <vector>

namespace tolva::cli {

// The options every command takes to choose its settings: a settings file to start from
// (--settings) and one option per field of the record.
class SettingsOptions {
public:
    void addTo(CLI::App& command);

    // The settings file named by --settings, or "" for the defaults.
    const std::string& file() const { return file_; }
    // The defaults, or the --settings file, with the options given on the command line
    // applied over them. False, with a reason, when the settings file cannot be read.
    bool resolve(Settings& settings, std::string& reason) const;
    // Applies only the options given on the command line.
    void applyOptions(Settings& settings) const;

private:
    template <typename T>
    void addValue(CLI::App& command, const std::string& name, T& value, const std::string& help,
                  std::function<void(Settings&)> apply);
    void addSwitch(CLI::App& command, const std::string& names, bool& value,
                   const std::string& help, std::function<void(Settings&)> apply);

    struct Edit {
        CLI::Option* option;
        std::function<void(Settings&)> apply;
    };
    std::vector<Edit> edits_;

    std::string file_;
    uint32_t titleFormat_ = 0;
    std::string lengthMode_;
    uint32_t rate_ = 0;
    uint32_t trailingSilence_ = 0;
    uint32_t loops_ = 0;
    uint32_t extraSeconds_ = 0;
    double ampDb_ = 0;
    uint32_t bits_ = 0;
    bool stripEmptyPatterns_ = false;
    bool removeSilence_ = false;
    bool removeInitialSilence_ = false;
    bool limitTrailingSilence_ = false;
    bool loopByCount_ = false;
    bool extraPlayTime_ = false;
    bool oldProTracker_ = false;
    bool modPanning_ = false;
    bool noInterpolation_ = false;
    bool mono_ = false;
    bool reverseStereo_ = false;
    std::vector<std::string> disabled_;
    std::vector<std::string> enabled_;
};

// Names of the registry's formats, in registry order, as the options spell them.
extern const char* const FormatOptionNames[7];

} // namespace tolva::cli
