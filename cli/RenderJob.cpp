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

Failure render(RenderJob& job, const RenderRequest& request) {
    PlaybackPlan plan = request.plan;
    plan.load.song.seed = request.seed;
    if (job.channel)
        plan.format.mutedChannels = ~(uint64_t{1} << *job.channel);
    LoadedSong song;
    Failure failure;
    if (!loadSong(job.song, plan.load, song, failure))
        return failure;
    const std::string problem = startProblem(request.startMs, song.length);
    if (!problem.empty())
        return {ExitFailure, problem};
    // Failures from here on are about the output file.
    job.failedFile = job.output;
    if (sameFile(job.output, job.song))
        return {ExitFailure, "is the module being rendered; choose another output with -o"};
    std::unique_ptr<AudioOutput> out =
        openAudioOutput(job.output, plan.rate(), plan.format, request.replace, failure);
    if (!out)
        return failure;

    SongPlayback playback(song, plan, request.startMs);
    if (request.allowedFrames != UINT64_MAX)
        playback.allowFrames(request.allowedFrames);
    const uint32_t lengthMs = song.length.lengthMs;
    const uint64_t expected =
        uint64_t{lengthMs - std::min(request.startMs, lengthMs)} * plan.rate() / 1000;
    job.framesExpected = std::max<uint64_t>(std::min(expected, request.allowedFrames), 1);

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

} // namespace

void renderJob(RenderJob& job, const RenderRequest& request) {
    job.failedFile = job.song;
    job.failure = render(job, request);
    job.finished = true;
}

} // namespace tolva::cli
