#include "AudioOutput.h"
#include "Commands.h"
#include "ProgressBar.h"
#include "SongLoader.h"
#include "SongPlayback.h"
#include "engine/Random.h"

#include <algorithm>
#include <cmath>
#include <sys/stat.h>
#include <vector>

namespace tolva::cli {

namespace {

std::string withWavExtension(const std::string& path) {
    std::size_t slash = path.find_last_of('/');
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot == (slash == std::string::npos ? 0 : slash + 1))
        return path + ".wav";
    return path.substr(0, dot) + ".wav";
}

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

} // namespace

RenderCommand::RenderCommand(CLI::App& app)
    : Command(app, "render", "Render a module to a WAV, FLAC or raw PCM file",
              LengthSettings | SoundSettings) {
    command_->add_option("SONG", file_, "The module")->required();
    command_
        ->add_option("-o,--output", output_,
                     "Output file: .wav, .flac or .raw; - writes raw PCM to standard output "
                     "(default: SONG with .wav)")
        ->type_name("OUT");
    secondsOption_ =
        command_->add_option("--seconds", seconds_, "Stop after this many seconds (default: all)")
            ->type_name("SECONDS")
            ->check(numberIn(0, MaxStartSeconds, false));
    command_->add_flag("--force", force_, "Replace the output file if it exists");
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
}

int RenderCommand::run() {
    Settings settings;
    if (!resolveSettings(settings))
        return ExitFailure;
    enableFormats(settings);
    if (seedOption_->count() > 0)
        seedRandom(seed_);
    LoadedSong song;
    Failure failure;
    if (!loadSong(file_, settings, song, failure)) {
        reportFailure(file_, failure.reason);
        return failure.status;
    }
    const uint32_t rate = settings.mixingFrequency;
    const uint32_t startMs = static_cast<uint32_t>(std::min(start_ * 1000.0, 4e9));
    const std::string problem = startProblem(startMs, song.length);
    if (!problem.empty()) {
        reportFailure(file_, problem);
        return ExitFailure;
    }

    const std::string outPath = output_.empty() ? withWavExtension(file_) : output_;
    if (sameFile(outPath, file_)) {
        reportFailure(outPath, "is the module being rendered; choose another output with -o");
        return ExitFailure;
    }
    std::unique_ptr<AudioOutput> out =
        openAudioOutput(outPath, rate, settings.outputBits, force_, failure);
    if (!out) {
        reportFailure(outPath, failure.reason);
        return failure.status;
    }

    SongPlayback playback(song, settings, startMs);
    uint64_t allowed = UINT64_MAX;
    if (secondsOption_->count() > 0) {
        allowed = static_cast<uint64_t>(std::floor(seconds_ * rate));
        playback.allowFrames(allowed);
    }
    uint64_t expected =
        uint64_t{song.length.lengthMs - std::min(startMs, song.length.lengthMs)} * rate / 1000;
    ProgressBar progress(std::min(expected, allowed), rate);

    std::vector<int32_t> block(BlockFrames * 2);
    uint64_t done = 0;
    while (true) {
        uint32_t n = playback.render(block.data(), BlockFrames);
        if (n == 0)
            break;
        if (!out->write(block.data(), n)) {
            reportFailure(outPath, "cannot write file");
            return ExitFailure;
        }
        done += n;
        progress.update(done);
    }
    if (!out->close()) {
        reportFailure(outPath, "cannot write file");
        return ExitFailure;
    }
    return ExitOk;
}

} // namespace tolva::cli
