#pragma once
#include "SettingsOptions.h"
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

// How the tool plays songs: what they are loaded with and the format of every block rendered,
// from the settings record and the tool's own choices.
struct PlaybackPlan {
    LoadOptions load;
    RenderFormat format;
    uint32_t rate() const { return load.song.rate; }
    uint32_t frameBytes() const { return 2 * format.bits / 8u; }
};

PlaybackPlan playbackPlan(const Settings& settings, const SoundChoices& choices);

// A loaded song played as the plug-in plays it: its length rules, the settings' output format,
// and positions counted from the end of its leading silence. `render` and `play` both draw
// their sound from here.
// Why a start `startMs` into the song makes no sense (past its end), or "".
std::string startProblem(uint32_t startMs, const SongLength& length);

class SongPlayback {
public:
    SongPlayback(LoadedSong& song, const PlaybackPlan& plan, uint32_t startMs);

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
