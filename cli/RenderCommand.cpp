#include "Commands.h"
#include "ProgressBar.h"
#include "RenderJob.h"
#include "SongLoader.h"
#include "TimeText.h"
#include "WorkerPool.h"
#include "engine/Player.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <mutex>
#include <set>
#include <sys/stat.h>

namespace tolva::cli {

namespace {

constexpr auto PollInterval = std::chrono::milliseconds(20);

std::string withWavExtension(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot == (slash == std::string::npos ? 0 : slash + 1))
        return path + ".wav";
    return path.substr(0, dot) + ".wav";
}

std::string baseName(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isFolder(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// The share of the work done, in thousandths, and the words after the bar.
int progress(const std::deque<RenderJob>& jobs, uint32_t rate, const char* noun,
             std::string& note) {
    double done = 0;
    std::size_t finished = 0;
    for (const RenderJob& job : jobs) {
        const uint64_t expected = job.framesExpected;
        if (job.finished)
            ++finished;
        done += job.finished ? 1.0
                : expected   ? std::min(1.0, static_cast<double>(job.framesDone) / expected)
                             : 0.0;
    }
    if (jobs.size() == 1) {
        auto ms = [rate](uint64_t frames) { return static_cast<uint32_t>(frames * 1000 / rate); };
        note =
            minutesText(ms(jobs[0].framesDone)) + " / " + minutesText(ms(jobs[0].framesExpected));
    } else {
        note = std::to_string(finished) + "/" + std::to_string(jobs.size()) + " " + noun;
    }
    return static_cast<int>(done * 1000 / static_cast<double>(jobs.size()));
}

// "NAME-ch01.wav" for channel 0 of the output NAME.wav.
std::string stemName(const std::string& output, uint32_t channel) {
    const std::size_t slash = output.find_last_of('/');
    std::size_t dot = output.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        dot = output.size();
    char number[8];
    std::snprintf(number, sizeof number, "-ch%02u", channel + 1);
    return output.substr(0, dot) + number + output.substr(dot);
}

} // namespace

// The song's channels that are heard when rendering stems, else a single job of the whole song.
// A song that cannot be loaded gets the single job, which tells why.
std::vector<std::optional<uint32_t>> RenderCommand::channelsOf(const std::string& file,
                                                               const PlaybackPlan& plan) const {
    if (!stems_)
        return {std::nullopt};
    LoadOptions options = plan.load;
    options.infoOnly = true;
    options.scan = false;
    LoadedSong song;
    if (loadSongFile(file.c_str(), options, song) != LoadFailure::None)
        return {std::nullopt};
    std::vector<std::optional<uint32_t>> channels;
    for (uint32_t k = 0; k < song.session->player().info().channelCount() && k < 64; ++k)
        if (!((plan.format.mutedChannels >> k) & 1))
            channels.push_back(k);
    return channels;
}

RenderCommand::RenderCommand(CLI::App& app)
    : Command(app, "render",
              "Render modules to WAV, FLAC or raw PCM files, several at a time on every core",
              LengthSettings | SoundSettings | ToolSound) {
    command_->add_option("SONG", files_, "The modules")->required();
    command_
        ->add_option("-o,--output", output_,
                     "Output file: .wav, .flac or .raw; - writes raw PCM to standard output; a "
                     "folder takes each song as a WAV file of its name (default: each SONG with "
                     ".wav)")
        ->type_name("OUT");
    secondsOption_ = command_
                         ->add_option("--seconds", seconds_,
                                      "Stop each song after this many seconds (default: all)")
                         ->type_name("SECONDS")
                         ->check(numberIn(0, MaxStartSeconds, false));
    command_->add_flag("--force", force_, "Replace output files that exist");
    command_->add_flag("--stems", stems_,
                       "One file for each channel heard, NAME-ch01.wav and on, each holding that "
                       "channel alone; a channel that stays silent gets none");
    command_->add_option("--start", start_, "Start this many seconds into the song (default: 0)")
        ->type_name("SECONDS")
        ->check(numberIn(0, MaxStartSeconds, false));
    seedOption_ = command_
                      ->add_option("--seed", seed_,
                                   "Start the random variation of IT instruments from this "
                                   "number, 0 to 65535, so that renders repeat (default: from "
                                   "the clock)")
                      ->type_name("N")
                      ->check(numberIn(0, 65535));
    subsongs_.addTo(*command_, "Render every subsong of each song, subsong N into its output's "
                               "name with -N before the extension");
}

int RenderCommand::run() {
    RenderRequest request;
    Settings settings;
    if (!resolveSettings(settings))
        return ExitFailure;
    request.plan = playbackPlan(settings, settings_.soundChoices());
    const bool toFolder = !output_.empty() && output_ != "-" && isFolder(output_);
    if (!toFolder && !output_.empty() && files_.size() > 1)
        return usageFailure(name(), "-o names one file; give a folder to render several songs");
    if (output_ == "-" && subsongs_.all())
        return usageFailure(name(), "--all-subsongs writes a file for each subsong, not to -");
    if (stems_ && output_ == "-")
        return usageFailure(name(), "--stems writes a file for each channel: -o names a file or "
                                    "a folder");

    std::deque<RenderJob> jobs;
    const std::string clash = planJobs(request.plan, toFolder, jobs);
    if (!clash.empty())
        return usageFailure(name(), clash);
    const uint32_t rate = request.plan.rate();
    request.startMs = static_cast<uint32_t>(std::min(start_ * 1000.0, 4e9));
    if (secondsOption_->count() > 0)
        request.allowedFrames = static_cast<uint64_t>(std::floor(seconds_ * rate));
    if (seedOption_->count() > 0)
        request.seed = seed_;
    // Stems of one song draw the same random variations, so that they add up to its render.
    else if (stems_)
        request.seed = static_cast<uint16_t>(
            std::chrono::steady_clock::now().time_since_epoch().count() & 0xFFFF);
    request.replace = force_;
    request.subsongs = subsongs_;
    return renderAll(jobs, request);
}

std::string RenderCommand::planJobs(const PlaybackPlan& plan, bool toFolder,
                                    std::deque<RenderJob>& jobs) const {
    std::set<std::string> outputs;
    for (const std::string& file : files_) {
        const std::string output = output_.empty() ? withWavExtension(file)
                                   : toFolder ? output_ + "/" + withWavExtension(baseName(file))
                                              : output_;
        for (const std::optional<uint32_t> channel : channelsOf(file, plan)) {
            RenderJob& job = jobs.emplace_back();
            job.song = file;
            job.channel = channel;
            job.output = channel ? stemName(output, *channel) : output;
            if (!outputs.insert(job.output).second)
                return "two songs would be rendered to " + job.output;
        }
    }
    return "";
}

int RenderCommand::renderAll(std::deque<RenderJob>& jobs, const RenderRequest& request) const {
    ProgressBar bar;
    // Each finished song wakes the loop below at once: a render of one short song should not
    // wait out a poll interval at its end.
    std::mutex finishing;
    std::condition_variable finished;
    WorkerPool workers(
        jobs.size(),
        [&](std::size_t i) {
            renderJob(jobs[i], request);
            std::lock_guard<std::mutex> lock(finishing);
            finished.notify_one();
        },
        !bar.shown());
    // Without a bar to draw, this thread renders songs too.
    if (!bar.shown())
        workers.help();

    // Failures are told as songs finish, in the order given.
    std::size_t told = 0;
    int status = ExitOk;
    while (told < jobs.size()) {
        for (; told < jobs.size() && jobs[told].finished; ++told) {
            const RenderJob& job = jobs[told];
            if (job.failure.status == ExitOk)
                continue;
            bar.clear();
            reportFailure(job.failedFile, job.failure.reason);
            // Any failure other than "not a module" makes the whole run a failure.
            status = status == ExitFailure ? ExitFailure : job.failure.status;
        }
        std::string note;
        const int permille = progress(jobs, request.plan.rate(), stems_ ? "files" : "songs", note);
        bar.update(permille, note);
        std::unique_lock<std::mutex> lock(finishing);
        if (told < jobs.size())
            finished.wait_for(lock, PollInterval, [&] { return jobs[told].finished.load(); });
    }
    return status;
}

} // namespace tolva::cli
