#include "Commands.h"
#include "DisplayText.h"
#include "SongLoader.h"
#include "TimeText.h"
#include "WorkerPool.h"
#include "settings/SettingsConversion.h"

#include <atomic>
#include <cstdio>
#include <deque>
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
    const LoadOptions options = loadOptions(settings);
    // Scanned side by side, told in the order given as soon as each one's turn comes.
    struct Scan {
        SongLength length;
        Failure failure;
        bool loaded = false;
        std::atomic<bool> finished{false};
    };
    std::deque<Scan> scans(files_.size());
    WorkerPool workers(
        files_.size(),
        [&](std::size_t i) {
            LoadedSong song;
            scans[i].loaded = loadSong(files_[i], options, song, scans[i].failure);
            scans[i].length = song.length;
            scans[i].finished = true;
            scans[i].finished.notify_one();
        },
        true);
    workers.help();
    int status = ExitOk;
    for (std::size_t i = 0; i < files_.size(); ++i) {
        scans[i].finished.wait(false);
        const std::string& file = files_[i];
        const Scan& scan = scans[i];
        nlohmann::ordered_json line = {{"file", file}};
        if (!scan.loaded) {
            reportFailure(file, scan.failure.reason);
            line["error"] = scan.failure.reason;
            status = ExitFailure;
        } else {
            line["length_ms"] = scan.length.lengthMs;
            line["start_offset_ms"] = scan.length.startOffsetMs;
            line["looped"] = scan.length.looped;
        }
        if (json_) {
            std::printf("%s\n",
                        line.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
                            .c_str());
        } else if (!line.contains("error")) {
            std::printf("%s  %s  %u ms\n", minutesText(scan.length.lengthMs).c_str(),
                        terminalText(file).c_str(), scan.length.lengthMs);
        }
    }
    return status;
}

} // namespace tolva::cli
