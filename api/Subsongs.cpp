#include "api/SongHandle.h"

#include <algorithm>
#include <cstring>

using namespace tolva;

extern "C" {

uint32_t tolva_subsong_count(const tolva_song* song) {
    return song ? static_cast<uint32_t>(song->loaded.subsongs.size()) : 0;
}

int tolva_subsong_info_get(const tolva_song* song, uint32_t index, tolva_subsong_info* info) {
    if (!song || !info || info->size < sizeof(uint32_t))
        return TOLVA_E_INVALID;
    if (index >= tolva_subsong_count(song))
        return TOLVA_E_NOT_FOUND;
    const Subsong& tune = song->loaded.subsongs[index];
    tolva_subsong_info out{};
    out.size = sizeof out;
    out.start_order = tune.startOrder;
    out.length_ms = tune.length.lengthMs;
    out.length_frames = api::playableFrames(tune.length, song->options.rate);
    const uint32_t size = info->size;
    std::memcpy(info, &out, std::min<std::size_t>(size, sizeof out));
    info->size = size;
    return TOLVA_OK;
}

int tolva_select_subsong(tolva_song* song, uint32_t index) {
    if (!song)
        return TOLVA_E_INVALID;
    if (!selectSubsong(song->loaded, index))
        return TOLVA_E_NOT_FOUND;
    api::measure(*song);
    preparePlayback(song->loaded, song->options.rate);
    api::applyRepeat(*song);
    api::rewind(*song);
    return TOLVA_OK;
}

} // extern "C"
