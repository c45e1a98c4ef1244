#pragma once
#include "Failure.h"
#include "SongPlayback.h"
#include "SubsongChoice.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace tolva::cli {

// How every song of one `render` is rendered.
struct RenderRequest {
    PlaybackPlan plan;
    uint32_t startMs = 0;
    uint64_t allowedFrames = UINT64_MAX;
    std::optional<uint16_t> seed;
    bool replace = false;
    SubsongChoice subsongs;
};

// Where subsong `index` (from 0) of a song rendered to `output` goes: the main song to
// `output`, subsong N to its name with "-N" before the extension.
std::string subsongOutput(const std::string& output, uint32_t index);

// One song to render and how far it has come; the counters are read by the thread that draws
// the progress while the song's own thread renders.
struct RenderJob {
    std::string song;
    std::string output;
    // Of a stem: the one channel heard (from 0). A stem that stays silent is not written.
    std::optional<uint32_t> channel;
    std::atomic<uint64_t> framesDone{0};
    std::atomic<uint64_t> framesExpected{0}; // 0 until the song is loaded
    std::atomic<bool> finished{false};
    // Read once `finished` is set: status ExitOk when the song was written, else the reason and
    // the file it concerns (the song or the output).
    Failure failure;
    std::string failedFile;
};

// Renders the job's song into its output; sets `finished` last.
void renderJob(RenderJob& job, const RenderRequest& request);

} // namespace tolva::cli
