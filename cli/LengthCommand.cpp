#include "Commands.h"
#include "DisplayText.h"
#include "SongLoader.h"
#include "TimeText.h"

#include <cstdio>
#include <nlohmann/json.hpp>

namespace tolva::cli {

LengthCommand::LengthCommand(CLI::App& app)
    : Command(app, "length", "Print each module's length as the plug-in measures it",
              LengthSettings) {
    command_->add_option("SONG", files_, "The modules")->required();
    command_->add_flag("--json", json_,
                       "One JSON object per file and line: file, length_ms, start_offset_ms, "
                       "looped (or error)");
}

int LengthCommand::run() {
    Settings settings;
    if (!resolveSettings(settings))
        return ExitFailure;
    enableFormats(settings);
    int status = ExitOk;
    for (const std::string& file : files_) {
        LoadedSong song;
        Failure failure;
        nlohmann::ordered_json line = {{"file", file}};
        if (!loadSong(file, settings, song, failure)) {
            reportFailure(file, failure.reason);
            line["error"] = failure.reason;
            status = ExitFailure;
        } else {
            line["length_ms"] = song.length.lengthMs;
            line["start_offset_ms"] = song.length.startOffsetMs;
            line["looped"] = song.length.looped;
        }
        if (json_) {
            std::printf("%s\n",
                        line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                            .c_str());
        } else if (!line.contains("error")) {
            std::printf("%s  %s  %u ms\n", minutesText(song.length.lengthMs).c_str(),
                        terminalText(file).c_str(), song.length.lengthMs);
        }
    }
    return status;
}

} // namespace tolva::cli
