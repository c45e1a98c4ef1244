#pragma once
#include "engine/SongOptions.h"

#include <atomic>
#include <cstdint>
#include <mutex>

namespace tolva::host {

// The song options the playback thread renders with. The configuration dialog changes the
// settings on its own thread while a song plays, so it publishes the options here and the
// playback thread copies them, under the lock, only when they have changed: it never reads
// the settings themselves.
class LiveOptions {
public:
    void publish(const SongOptions& options);
    // Copies the options into `options` when some were published after `seen` (0 at first),
    // and moves `seen` on; false when nothing changed.
    bool take(uint32_t& seen, SongOptions& options);

private:
    std::mutex mutex_;
    SongOptions options_;
    std::atomic<uint32_t> published_{0}; // counts the publications
};

} // namespace tolva::host
