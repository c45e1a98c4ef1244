#pragma once
#include "SongLoader.h"
#include "settings/Settings.h"

#include <cstdint>
#include <string>

namespace tolva::cli {

// Frames rendered per call, what the plug-in hands its output per block.
constexpr uint32_t BlockFrames = 576;
// Frames rendered per call when nobody listens while it plays: the same sound as in blocks of
// BlockFrames, with fewer stops in the mixer.
constexpr uint32_t FileBlockFrames = 16384;

// A loaded song played as the plug-in plays it: its length rules, the settings' output format,
// and positions counted from the end of its leading silence. `render` and `play` both draw
// their sound from here.
// Why a start `startMs` into the song makes no sense (past its end), or "".
std::string startProblem(uint32_t startMs, const SongLength& length);

class SongPlayback {
public:
    SongPlayback(LoadedSong& song, const Settings& settings, uint32_t startMs);

    // Up to `frames` frames of interleaved stereo (even); 0 once the song has ended or the
    // frames allowed are played.
    uint32_t render(void* out, uint32_t frames);
    // Stops after `frames` more frames (kept even, as the mixer wants).
    void allowFrames(uint64_t frames) { allowed_ = frames & ~uint64_t{1}; }
    // Continues from `ms` into the song, as a fresh start there would.
    void seek(uint32_t ms);
    // Where the next frame lies, in milliseconds from the start.
    uint32_t positionMs() const;
    uint32_t rate() const { return rate_; }
    uint32_t frameBytes() const { return 2 * format_.bits / 8u; }
    // Playback gain in 256ths, as the settings' amplification gave it.
    int32_t baseGain() const { return baseGain_; }
    void setGain(int32_t gain);

private:
    LoadedSong& song_;
    uint32_t rate_;
    RenderFormat format_;
    int32_t baseGain_;
    uint64_t allowed_ = UINT64_MAX;
};

} // namespace tolva::cli
