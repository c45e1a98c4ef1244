#include "Commands.h"

#include "settings/SettingsFile.h"

#include <cstdio>
#include <nlohmann/json.hpp>

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
    const char* const enableNames[7] = {"enableMod", "enable669", "enableMtm",  "enableS3m",
                                        "enableXm",  "enableIt",  "enableMod15"};
    for (uint32_t i = 0; i < 7; ++i)
        j[enableNames[i]] = s.formatEnable(i);
    return j;
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
    Settings settings;
    if (!file_.empty() && !settings_.file().empty()) {
        reportFailure("", "give the settings file either as FILE or with --settings");
        return ExitFailure;
    }
    std::string reason;
    if (!file_.empty()) {
        if (!settings_.consistent(reason))
            return usageFailure(name(), reason);
        if (!readSettingsFile(file_, settings, reason)) {
            reportFailure(file_, reason);
            return ExitFailure;
        }
        replaceUnusableFields(settings);
        settings_.applyOptions(settings);
    } else if (!resolveSettings(settings)) {
        return ExitFailure;
    }
    if (!write_.empty()) {
        if (!saveSettings(write_.c_str(), settings)) {
            reportFailure(write_, "cannot write file");
            return ExitFailure;
        }
        return ExitOk;
    }
    nlohmann::ordered_json fields = settingsJson(settings);
    if (json_) {
        std::printf("%s\n", fields.dump().c_str());
        return ExitOk;
    }
    for (const auto& [name, value] : fields.items())
        std::printf("%-27s %s\n", name.c_str(), value.dump().c_str());
    return ExitOk;
}

} // namespace tolva::cli
