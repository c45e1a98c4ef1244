#include "Commands.h"
#include "SongFacts.h"
#include "settings/SettingsConversion.h"

#include <cstdio>

namespace tolva::cli {

namespace {
std::string jsonLine(const nlohmann::ordered_json& j) {
    return j.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}
} // namespace

InfoCommand::InfoCommand(CLI::App& app)
    : Command(app, "info",
              "Show what modules hold: format, title, counts, length, names and message",
              LengthSettings) {
    command_->add_option("SONG", files_, "The modules")->required();
    command_->add_flag("--json", json_, "One JSON object per file and line");
}

int InfoCommand::run() {
    Settings settings;
    if (!resolveSettings(settings))
        return ExitFailure;
    LoadOptions options = loadOptions(settings);
    options.findSubsongs = true;
    int status = ExitOk;
    bool first = true;
    for (const std::string& file : files_) {
        LoadedSong song;
        Failure failure;
        if (!loadSong(file, options, song, failure)) {
            reportFailure(file, failure.reason);
            if (json_)
                std::printf("%s\n", jsonLine({{"file", file}, {"error", failure.reason}}).c_str());
            // Any failure other than "not a module" makes the whole run a failure.
            status = status == ExitFailure ? ExitFailure : failure.status;
            continue;
        }
        SongFacts facts = describe(file, song);
        if (json_) {
            std::printf("%s\n", jsonLine(factsJson(facts)).c_str());
        } else {
            if (!first)
                std::printf("\n");
            printFacts(facts);
        }
        first = false;
    }
    return status;
}

} // namespace tolva::cli
