#pragma once
#include "mixer/Mixer.h"
#include "platform/HeapObject.h"

#include <cstdint>
#include <memory>

namespace tolva {

class Player;

// A loaded song ready to play: its player and the mixer it drives, used by one thread at a
// time.
class SongSession : public HeapObject {
public:
    // Takes both: the mixer is destroyed with destroyMixer.
    SongSession(Mixer* mixer, std::unique_ptr<Player> player);
    // The player goes first: it hands its sample data back to the mixer.
    virtual ~SongSession();
    SongSession(const SongSession&) = delete;
    SongSession& operator=(const SongSession&) = delete;

    Mixer& mixer() { return *mixer_; }
    Player& player() { return *player_; }

    // Renders up to `frames` frames (even) into `buffer`, or silently without one, mixing as
    // `options` say (the defaults when null); answers the frames rendered, 0 once the song or
    // its length limit has ended.
    uint32_t renderFrames(uint32_t frames, void* buffer, const RenderFormat* options);
    // Continues from `frame` of the song: rewinds when it lies behind, then plays silently.
    void seekToFrame(uint32_t frame);

private:
    Mixer* mixer_;
    std::unique_ptr<Player> player_;
};

} // namespace tolva
