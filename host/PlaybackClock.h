#pragma once
#include <atomic>
#include <cstdint>

namespace tolva::host {

// What the host's threads and the playback thread tell each other while a song plays: requests
// one way, the play time the other, one writer each, without locks.
struct PlaybackClock {
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> paused{false};
    std::atomic<bool> seekRequested{false};
    std::atomic<int32_t> outputTimeMs{0}; // play time of the audio handed to the output
    std::atomic<int32_t> seekTargetMs{0};
};

} // namespace tolva::host
