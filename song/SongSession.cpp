#include "song/SongSession.h"

#include "engine/Player.h"
#include "mixer/SoftwareMixer.h"

#include <new>

namespace tolva {

SongSession::SongSession(Mixer* mixer, std::unique_ptr<Player> player)
    : mixer_(mixer), player_(std::move(player)) {}

SongSession::~SongSession() {
    player_.reset();
    destroyMixer(mixer_);
}

uint32_t SongSession::renderFrames(uint32_t frames, void* buffer, const RenderFormat* options) {
    return player_->renderFrames(frames, buffer, options);
}

void SongSession::seekToFrame(uint32_t frame) {
    player_->seekToFrame(frame);
}

std::unique_ptr<SongSession> createSession(InputStream& stream, bool infoOnly,
                                           LoadFailure* failure) {
    Mixer* mixer = createMixer();
    if (!mixer) {
        if (failure)
            *failure = LoadFailure::OutOfMemory;
        return nullptr;
    }
    std::unique_ptr<Player> player = createPlayer(stream, infoOnly, mixer, failure);
    // When the allocation fails the player is never moved from.
    std::unique_ptr<SongSession> session(
        player ? new (std::nothrow) SongSession(mixer, std::move(player)) : nullptr);
    if (session)
        return session;
    if (player && failure)
        *failure = LoadFailure::OutOfMemory;
    player.reset();
    destroyMixer(mixer);
    return nullptr;
}

} // namespace tolva
