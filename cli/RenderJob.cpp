#include "RenderJob.h"

#include "AudioOutput.h"
#include "SongLoader.h"
#include "SongPlayback.h"
#include "settings/SettingsConversion.h"

#include <algorithm>
#include <sys/stat.h>
#include <vector>

namespace tolva::cli {

namespace {

bool sameFile(const std::string& a, const std::string& b) {
    struct stat sa, sb;
    return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

Failure render(RenderJob& job, const RenderRequest& request) {
    const Settings& settings = request.settings;
    LoadOptions options = loadOptions(settings);
    options.song.seed = request.seed;
    LoadedSong song;
    Failure failure;
    if (!loadSong(job.song, options, song, failure))
        return failure;
    const std::string problem = startProblem(request.startMs, song.length);
    if (!problem.empty())
        return {ExitFailure, problem};
    // Failures from here on are about the output file.
    job.failedFile = job.output;
    if (sameFile(job.output, job.song))
        return {ExitFailure, "is the module being rendered; choose another output with -o"};
    std::unique_ptr<AudioOutput> out = openAudioOutput(
        job.output, settings.mixingFrequency, settings.outputBits, request.replace, failure);
    if (!out)
        return failure;

    SongPlayback playback(song, settings, request.startMs);
    if (request.allowedFrames != UINT64_MAX)
        playback.allowFrames(request.allowedFrames);
    const uint32_t lengthMs = song.length.lengthMs;
    const uint64_t expected =
        uint64_t{lengthMs - std::min(request.startMs, lengthMs)} * settings.mixingFrequency / 1000;
    job.framesExpected = std::max<uint64_t>(std::min(expected, request.allowedFrames), 1);

    std::vector<int32_t> block(FileBlockFrames * 2);
    while (const uint32_t n = playback.render(block.data(), FileBlockFrames)) {
        if (!out->write(block.data(), n))
            return {ExitFailure, "cannot write file"};
        job.framesDone += n;
    }
    if (!out->close())
        return {ExitFailure, "cannot write file"};
    return {ExitOk, ""};
}

} // namespace

void renderJob(RenderJob& job, const RenderRequest& request) {
    job.failedFile = job.song;
    job.failure = render(job, request);
    job.finished = true;
}

} // namespace tolva::cli
