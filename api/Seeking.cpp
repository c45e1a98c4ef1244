#include "api/SongHandle.h"

#include "engine/Player.h"

#include <algorithm>
#include <cstring>

namespace tolva::api {

namespace {

// The frame waiting from a render is passed over.
void dropAhead(tolva_song& song) {
    if (song.hasAhead) {
        song.hasAhead = false;
        ++song.frame;
    }
}

// Plays silently from the API's frame `song.frame` to `to`, both even, or to the song's end.
void playSilently(tolva_song& song, uint64_t to) {
    while (song.frame < to) {
        const auto step = static_cast<uint32_t>(std::min<uint64_t>(to - song.frame, 1u << 30));
        const RenderFormat format = currentFormat(song, false);
        const uint32_t done = song.loaded.session->renderFrames(step, nullptr, &format);
        song.frame += done;
        if (done < step)
            break;
    }
}

// Plays silently until the watched position comes or the song's length is played.
int64_t findWatched(tolva_song& song) {
    const Player& p = player(song);
    const uint64_t end = (song.lengthFrames + 1) & ~uint64_t{1};
    while (p.watchedFrame < 0 && song.frame < end && !song.loaded.session->player().ended)
        playSilently(song, std::min<uint64_t>(end, song.frame + 65536));
    return p.watchedFrame;
}

} // namespace

void rewind(tolva_song& song) {
    player(song).random = song.loaded.randomAtStart;
    song.loaded.session->seekToFrame(0);
    song.hasAhead = false;
    song.frame = 0; // counted from the song's own start until its leading silence is passed
    playSilently(song, song.startFrame);
    song.frame = 0;
}

void seekExact(tolva_song& song, uint64_t frame) {
    if (song.hasAhead && frame == song.frame)
        return; // the frame waiting is the one asked for
    dropAhead(song);
    if (frame < song.frame)
        rewind(song);
    playSilently(song, frame & ~uint64_t{1});
    if ((frame & 1) && song.frame + 1 == frame) {
        // The pair holding the frame is rendered; its second frame waits.
        int16_t pair[4];
        if (renderPairs(song, pair, 2, false) == 2) {
            song.ahead.s16[0] = pair[2];
            song.ahead.s16[1] = pair[3];
            song.hasAhead = true;
            song.aheadIsFloat = false;
            song.frame = frame;
        }
    }
}

} // namespace tolva::api

using namespace tolva;

extern "C" {

int tolva_seek_frame(tolva_song* song, uint64_t frame) {
    if (!song)
        return TOLVA_E_INVALID;
    api::seekExact(*song, frame);
    return TOLVA_OK;
}

int tolva_seek_ms(tolva_song* song, uint64_t ms) {
    if (!song || ms > UINT64_MAX / 96000)
        return TOLVA_E_INVALID;
    return tolva_seek_frame(song, ms * song->options.rate / 1000);
}

int tolva_seek_order(tolva_song* song, uint32_t order, uint32_t row) {
    if (!song)
        return TOLVA_E_INVALID;
    Player& p = api::player(*song);
    if (order >= p.song.orderCount || row >= 256)
        return TOLVA_E_NOT_FOUND;
    p.watchPosition(order, row);
    api::rewind(*song);
    const int64_t found = api::findWatched(*song);
    p.watchPosition(0xFFFFFFFFu, 0);
    if (found < 0 || static_cast<uint64_t>(found) < song->startFrame) {
        api::seekExact(*song, 0);
        return TOLVA_E_NOT_FOUND;
    }
    api::seekExact(*song, static_cast<uint64_t>(found) - song->startFrame);
    return TOLVA_OK;
}

int tolva_position_get(const tolva_song* song, tolva_position* position) {
    if (!song || !position || position->size < sizeof(uint32_t))
        return TOLVA_E_INVALID;
    const Player& p = const_cast<tolva_song*>(song)->loaded.session->player();
    tolva_position out{};
    out.size = sizeof out;
    out.frame = song->frame;
    out.order = p.currentOrder;
    const int32_t entry =
        p.currentOrder < p.song.orders.size() ? p.song.orders[p.currentOrder] : -1;
    out.pattern = entry >= 0 ? static_cast<uint32_t>(entry) : 0;
    out.row = p.currentRow();
    out.speed = p.speed;
    out.tempo = p.beatsPerMinute();
    out.loops_done = p.loopReturnCount;
    out.subsong = song->loaded.subsong;
    const uint32_t size = position->size;
    std::memcpy(position, &out, std::min<std::size_t>(size, sizeof out));
    position->size = size;
    return TOLVA_OK;
}

} // extern "C"
