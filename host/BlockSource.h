#pragma once
#include "host/LoadedModule.h"
#include "host/PlaybackClock.h"

namespace tolva::host {

constexpr unsigned BlockFrames = 576;

// The playback thread's work that needs no Windows: it carries out the seeks the host's
// threads ask for and renders the playing module block by block, keeping the play time.
class BlockSource {
public:
    BlockSource(LoadedModule& module, PlaybackClock& clock, uint32_t rate)
        : module_(module), clock_(clock), rate_(rate) {}

    // Carries out a pending seek; true when it did, and what the output holds is stale.
    bool takeSeek();
    // Up to BlockFrames frames into `block`, 0 once the song has ended.
    uint32_t render(void* block, const RenderFormat& format);
    // Moves the play time on by `frames` handed to the output. The host computes the time it
    // shows from this and what the output holds, so it moves only once the block is on its way.
    void handOn(uint32_t frames);

private:
    LoadedModule& module_;
    PlaybackClock& clock_;
    uint32_t rate_;
};

} // namespace tolva::host
