#pragma once
#include "PlayRenderer.h"
#include "SampleRing.h"
#include "SongPlayback.h"
#include "SoundDevice.h"
#include "StatusDisplay.h"
#include "Terminal.h"

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

namespace tolva::cli {

// One run of `tolva play`: the renderer fills the ring a little ahead of the sound card, and
// every tick the session reads a key, acts on it, reports refused files and redraws the
// status, until the list has been heard or the listener leaves.
class PlaySession {
public:
    // `interactive`: keys come from a terminal and the status goes to one.
    PlaySession(PlayList list, const PlaybackPlan& plan, bool interactive, bool quiet);

    // The exit status.
    int run();

private:
    // Starts the card once a little sound is ready, so its first callback finds some; false
    // when it cannot be opened.
    bool startWhenReady();
    void act(Key key);
    void seek(Key key);
    // To the next or previous subsong, or file.
    void step(Key key);
    void setVolume(uint32_t percent);
    // One line per song when the status is not drawn.
    void announce();
    void redraw();
    // Whether the card has taken the whole list; then waits for it to be heard.
    bool playedOut() const;
    int noDevice() const;

    const PlaybackPlan plan_;
    const bool interactive_;
    const bool quiet_;
    const bool drawing_;
    SampleRing ring_;
    SoundDevice device_;
    PlayRenderer renderer_;
    // Made once the sound system is there, so a failure to reach it leaves the terminal alone.
    std::optional<Terminal> terminal_;
    std::optional<StatusDisplay> display_;

    std::string reason_; // why the device failed
    bool started_ = false;
    bool paused_ = false;
    uint32_t volume_ = 100;
    BlockState state_;
    SongCard card_;
    bool known_ = false; // whether state_ and card_ tell of a song heard yet
    uint32_t lastSerial_ = 0;
    std::chrono::steady_clock::time_point lastDraw_;
};

} // namespace tolva::cli
