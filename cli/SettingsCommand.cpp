#include "Commands.h"

#include "settings/SettingsFile.h"

#include <cctype>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <utility>

namespace tolva::cli {

namespace {

// Every field under its own name, in file order.
nlohmann::ordered_json settingsJson(const Settings& s) {
    nlohmann::ordered_json j = {
        {"titleFormat", s.titleFormat},
        {"lengthMode", s.lengthMode},
        {"mixingFrequency", s.mixingFrequency},
        {"trailingSilenceSeconds", s.trailingSilenceSeconds},
        {"loopCount", s.loopCount},
        {"extraLoopSeconds", s.extraLoopSeconds},
        {"amp", s.amp},
        {"outputBits", s.outputBits},
        {"stripTrailingEmptyPatterns", s.stripTrailingEmptyPatterns},
        {"removeSilence", s.removeSilence},
        {"removeInitialSilence", s.removeInitialSilence},
        {"limitTrailingSilence", s.limitTrailingSilence},
        {"loopByCount", s.loopByCount},
        {"extraPlayTime", s.extraPlayTime},
        {"oldProTrackerMode", s.oldProTrackerMode},
        {"disableModPanning", s.disableModPanning},
        {"disableOversampling", s.disableOversampling},
        {"forceMono", s.forceMono},
        {"reverseStereo", s.reverseStereo},
    };
    // The switches as enableMod, enable669, ... after the formats' option names.
    const std::vector<std::string> names = formatOptionNames();
    for (uint32_t i = 0; i < FormatCount; ++i) {
        std::string key = "enable" + names[i];
        key[6] = static_cast<char>(std::toupper(static_cast<unsigned char>(key[6])));
        j[key] = s.formatSwitches[i];
    }
    return j;
}

std::string onOff(uint8_t flag) {
    return flag ? "on" : "off";
}

// The fields under the names and in the units of the options that set them.
std::vector<std::pair<std::string, std::string>> optionView(const Settings& s) {
    char amp[16];
    std::snprintf(amp, sizeof amp, "%g", s.amp / 100.0);
    std::string disabled;
    const std::vector<std::string> names = formatOptionNames();
    for (uint32_t i = 0; i < FormatCount; ++i)
        if (!s.formatSwitches[i])
            disabled += (disabled.empty() ? "" : " ") + names[i];
    return {
        {"rate", std::to_string(s.mixingFrequency)},
        {"bits", std::to_string(s.outputBits)},
        {"amp", amp},
        {"length-mode", s.lengthMode == LengthNoBackwardJumps ? "no-backward-jumps"
                        : s.lengthMode == LengthDetectLoop    ? "detect"
                                                              : std::to_string(s.lengthMode)},
        {"loops", std::to_string(s.loopCount)},
        {"extra-seconds", std::to_string(s.extraLoopSeconds)},
        {"extra-play-time", onOff(s.extraPlayTime)},
        {"loop-by-count", onOff(s.loopByCount)},
        {"remove-silence", onOff(s.removeSilence)},
        {"trailing-silence", std::to_string(s.trailingSilenceSeconds)},
        {"strip-empty-patterns", onOff(s.stripTrailingEmptyPatterns)},
        {"old-protracker", onOff(s.oldProTrackerMode)},
        {"interpolation", s.disableOversampling ? "none" : "linear"},
        {"mod-panning", onOff(!s.disableModPanning)},
        {"mono", onOff(s.forceMono)},
        {"reverse-stereo", onOff(s.reverseStereo)},
        {"disable", disabled.empty() ? "none" : disabled},
        {"title-format", std::to_string(s.titleFormat)},
        {"remove-initial-silence", onOff(s.removeInitialSilence)},
        {"limit-trailing-silence", onOff(s.limitTrailingSilence)},
    };
}

} // namespace

SettingsCommand::SettingsCommand(CLI::App& app)
    : Command(app, "settings", "Show a settings file (in_tolva.dat), or write one", AllSettings) {
    command_->add_option("FILE", file_, "The settings file to read (default: the defaults)");
    command_->add_option("--write", write_, "Write the resulting settings to this file")
        ->type_name("FILE");
    command_->add_flag("--json", json_, "Print the fields as one JSON object");
}

int SettingsCommand::run() {
    if (!file_.empty() && !settings_.file().empty())
        return usageFailure(name(), "give the settings file either as FILE or with --settings");
    std::string reason;
    if (!settings_.consistent(reason))
        return usageFailure(name(), reason);
    // What the file holds, as it is: values the plug-in cannot use are shown, and marked.
    const std::string& file = file_.empty() ? settings_.file() : file_;
    Settings stored;
    if (!file.empty() && !readSettingsFile(file, stored, reason)) {
        reportFailure(file, reason);
        return ExitFailure;
    }
    settings_.applyOptions(stored);
    Settings used = stored;
    replaceUnusableFields(used);

    if (!write_.empty()) {
        if (!saveSettings(write_.c_str(), stored)) {
            reportFailure(write_, "cannot write file");
            return ExitFailure;
        }
        return ExitOk;
    }
    if (json_) {
        nlohmann::ordered_json fields = settingsJson(stored);
        const nlohmann::ordered_json usedFields = settingsJson(used);
        nlohmann::ordered_json replaced = nlohmann::ordered_json::object();
        for (const auto& [name, value] : usedFields.items())
            if (fields.at(name) != value)
                replaced[name] = value;
        if (!replaced.empty())
            fields["replaced"] = replaced;
        std::printf("%s\n", fields.dump().c_str());
        return ExitOk;
    }
    const auto shown = optionView(stored);
    const auto usable = optionView(used);
    for (std::size_t i = 0; i < shown.size(); ++i) {
        std::printf("%-23s %s", shown[i].first.c_str(), shown[i].second.c_str());
        if (shown[i].second != usable[i].second)
            std::printf("  (unusable: the plug-in plays with %s)", usable[i].second.c_str());
        std::printf("\n");
    }
    return ExitOk;
}

} // namespace tolva::cli
