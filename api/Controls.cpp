#include "api/SongHandle.h"

#include "engine/Player.h"

namespace tolva::api {

void applyRepeat(tolva_song& song) {
    Player& p = player(song);
    Mixer& mixer = song.loaded.session->mixer();
    if (song.repeat == 0) {
        applyOptions(p, song.options, false);
        p.songFlags &= ~SongRestartsAtEnd;
        mixer.setLengthLimit(lengthLimitMs(song.loaded.length));
        return;
    }
    p.songFlags &= ~SongNoBackwardJumps;
    p.songFlags |= SongRestartsAtEnd;
    p.maxLoops = song.repeat < 0 ? NoLoopLimit : static_cast<uint32_t>(song.repeat) + 1;
    mixer.setLengthLimit(0);
}

} // namespace tolva::api

using namespace tolva;

extern "C" {

int tolva_set_gain(tolva_song* song, int32_t hundredths_db) {
    if (!song || hundredths_db < -1500 || hundredths_db > 1500)
        return TOLVA_E_INVALID;
    song->options.amp = static_cast<int16_t>(hundredths_db);
    setAmplification(song->loaded, song->options.amp);
    return TOLVA_OK;
}

int tolva_set_interpolation(tolva_song* song, uint32_t mode) {
    if (!song || mode > TOLVA_INTERPOLATION_SINC)
        return TOLVA_E_INVALID;
    song->options.interpolation = static_cast<Interpolation>(mode);
    return TOLVA_OK;
}

int tolva_set_stereo_separation(tolva_song* song, uint32_t percent) {
    if (!song || percent > MaxStereoSeparation)
        return TOLVA_E_INVALID;
    song->options.stereoSeparation = static_cast<uint16_t>(percent);
    return TOLVA_OK;
}

int tolva_set_channel_mute(tolva_song* song, uint32_t channel, int muted) {
    if (!song)
        return TOLVA_E_INVALID;
    if (channel >= song->facts.channels || channel >= 64)
        return TOLVA_E_NOT_FOUND;
    const uint64_t bit = uint64_t{1} << channel;
    song->options.mutedChannels =
        muted ? song->options.mutedChannels | bit : song->options.mutedChannels & ~bit;
    return TOLVA_OK;
}

int tolva_set_repeat(tolva_song* song, int32_t count) {
    if (!song || count < TOLVA_REPEAT_FOREVER)
        return TOLVA_E_INVALID;
    song->repeat = count;
    api::applyRepeat(*song);
    return TOLVA_OK;
}

int tolva_jump_to_order(tolva_song* song, uint32_t order, uint32_t when) {
    if (!song || when > TOLVA_JUMP_PATTERN_END)
        return TOLVA_E_INVALID;
    Player& p = api::player(*song);
    if (order >= p.song.orderCount || p.song.orders[order] < 0)
        return TOLVA_E_NOT_FOUND;
    p.requestJump(order, when == TOLVA_JUMP_PATTERN_END);
    return TOLVA_OK;
}

} // extern "C"
