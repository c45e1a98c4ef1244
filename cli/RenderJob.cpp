#include "RenderJob.h"

#include "AudioOutput.h"
#include "SongLoader.h"
#include "SongPlayback.h"

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

// True when a block holds nothing but silence.
bool silent(const std::vector<int32_t>& block, uint32_t frames, const RenderFormat& format) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(block.data());
    const uint8_t quiet = format.bits == 8 ? 0x80 : 0;
    return std::all_of(bytes, bytes + frames * 2 * format.bits / 8,
                       [quiet](uint8_t b) { return b == quiet; });
}

// Renders the tune the song is set to into `output`.
Failure renderTune(RenderJob& job, LoadedSong& song, const PlaybackPlan& plan,
                   const RenderRequest& request, const std::string& output) {
    job.failedFile = job.song;
    const std::string problem = startProblem(request.startMs, song.length);
    if (!problem.empty())
        return {ExitFailure, problem};
    // Failures from here on are about the output file.
    job.failedFile = output;
    if (sameFile(output, job.song))
        return {ExitFailure, "is the module being rendered; choose another output with -o"};
    Failure failure;
    std::unique_ptr<AudioOutput> out =
        openAudioOutput(output, plan.rate(), plan.format, request.replace, failure);
    if (!out)
        return failure;

    SongPlayback playback(song, plan, request.startMs);
    if (request.allowedFrames != UINT64_MAX)
        playback.allowFrames(request.allowedFrames);
    std::vector<int32_t> block(FileBlockFrames * 2);
    bool heard = false;
    while (const uint32_t n = playback.render(block.data(), FileBlockFrames)) {
        if (!out->write(block.data(), n))
            return {ExitFailure, "cannot write file"};
        heard = heard || !silent(block, n, plan.format);
        job.framesDone += n;
    }
    // A stem of a channel that never sounds is dropped with its unfinished file.
    if (job.channel && !heard)
        return {ExitOk, ""};
    if (!out->close())
        return {ExitFailure, "cannot write file"};
    return {ExitOk, ""};
}

// The frames the chosen tunes of the song will give.
uint64_t expectedFrames(const LoadedSong& song, const RenderRequest& request) {
    const SubsongChoice& choice = request.subsongs;
    uint64_t total = 0;
    for (uint32_t i = choice.first(); i < choice.end(song.subsongs.size()); ++i) {
        const uint32_t lengthMs = song.subsongs[i].length.lengthMs;
        const uint64_t frames =
            uint64_t{lengthMs - std::min(request.startMs, lengthMs)} * request.plan.rate() / 1000;
        total += std::min(frames, request.allowedFrames);
    }
    return std::max<uint64_t>(total, 1);
}

Failure render(RenderJob& job, const RenderRequest& request) {
    PlaybackPlan plan = request.plan;
    plan.load.song.seed = request.seed;
    plan.load.findSubsongs = true;
    if (job.channel)
        plan.format.mutedChannels = ~(uint64_t{1} << *job.channel);
    LoadedSong song;
    Failure failure;
    if (!loadSong(job.song, plan.load, song, failure))
        return failure;
    const SubsongChoice& choice = request.subsongs;
    const auto count = static_cast<uint32_t>(song.subsongs.size());
    const std::string problem = choice.problem(count);
    if (!problem.empty())
        return {ExitFailure, problem};
    job.framesExpected = expectedFrames(song, request);
    for (uint32_t i = choice.first(); i < choice.end(count); ++i) {
        if (i != song.subsong)
            selectSubsong(song, i);
        const std::string output = choice.all() ? subsongOutput(job.output, i) : job.output;
        failure = renderTune(job, song, plan, request, output);
        if (failure.status != ExitOk)
            return failure;
    }
    return {ExitOk, ""};
}

} // namespace

std::string subsongOutput(const std::string& output, uint32_t index) {
    if (index == 0)
        return output;
    const std::size_t slash = output.find_last_of('/');
    std::size_t dot = output.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        dot = output.size();
    return output.substr(0, dot) + "-" + std::to_string(index + 1) + output.substr(dot);
}

void renderJob(RenderJob& job, const RenderRequest& request) {
    job.failedFile = job.song;
    job.failure = render(job, request);
    job.finished = true;
}

} // namespace tolva::cli
