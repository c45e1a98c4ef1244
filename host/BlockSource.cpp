#include "host/BlockSource.h"

#include "engine/SongSession.h"

namespace tolva::host {

bool BlockSource::takeSeek() {
    // Taken before the target is read: a request made meanwhile is carried out next time
    // rather than lost.
    if (!clock_.seekRequested.exchange(false) || !module_.session)
        return false;
    seekSong(module_, rate_, clock_.seekTargetMs);
    clock_.outputTimeMs = static_cast<int32_t>(songPositionMs(module_, rate_));
    return true;
}

uint32_t BlockSource::render(void* block, const RenderFormat& format) {
    return module_.session->renderFrames(BlockFrames, block, &format);
}

void BlockSource::handOn(uint32_t frames) {
    clock_.outputTimeMs += static_cast<int32_t>(frames * 1000 / rate_);
}

} // namespace tolva::host
