#include "api/SongHandle.h"

#include "engine/Player.h"

#include <algorithm>
#include <cstring>

using namespace tolva;

extern "C" {

uint32_t tolva_subsong_count(const tolva_song* song) {
    return song ? 1 : 0;
}

int tolva_subsong_info_get(const tolva_song* song, uint32_t index, tolva_subsong_info* info) {
    if (!song || !info || info->size < sizeof(uint32_t))
        return TOLVA_E_INVALID;
    if (index >= tolva_subsong_count(song))
        return TOLVA_E_NOT_FOUND;
    tolva_subsong_info out{};
    out.size = sizeof out;
    out.start_order = 0;
    out.length_ms = song->loaded.length.lengthMs;
    out.length_frames = song->lengthFrames;
    const uint32_t size = info->size;
    std::memcpy(info, &out, std::min<std::size_t>(size, sizeof out));
    info->size = size;
    return TOLVA_OK;
}

int tolva_select_subsong(tolva_song* song, uint32_t index) {
    if (!song)
        return TOLVA_E_INVALID;
    if (index >= tolva_subsong_count(song))
        return TOLVA_E_NOT_FOUND;
    return tolva_seek_frame(song, 0);
}

} // extern "C"
