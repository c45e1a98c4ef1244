#include "engine/SongSession.h"

#include "engine/Player.h"
#include "mixer/SoftwareMixer.h"

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

} // namespace tolva
