#include "api/SongHandle.h"

#include "engine/Player.h"

#include <algorithm>
#include <cstring>

using namespace tolva;

extern "C" {

int tolva_song_info_get(const tolva_song* song, tolva_song_info* info) {
    if (!song || !info || info->size < sizeof(uint32_t))
        return TOLVA_E_INVALID;
    const SongFacts& f = song->facts;
    tolva_song_info out{};
    out.size = sizeof out;
    out.format = f.format + 1;
    out.format_name = f.formatName.c_str();
    out.title = f.title.c_str();
    out.message = f.message.c_str();
    out.channels = f.channels;
    out.orders = f.orders;
    out.patterns = f.patterns;
    out.samples = static_cast<uint32_t>(f.samples.size());
    out.instruments = f.instruments;
    out.subsongs = static_cast<uint32_t>(song->loaded.subsongs.size());
    out.initial_speed = f.speed;
    out.initial_tempo = f.tempo;
    // A caller built against an older header gets the fields it knows.
    const uint32_t size = info->size;
    std::memcpy(info, &out, std::min<std::size_t>(size, sizeof out));
    info->size = size;
    return TOLVA_OK;
}

const char* tolva_sample_name(const tolva_song* song, uint32_t index) {
    return song && index < song->facts.sampleNames.size() ? song->facts.sampleNames[index]
                                                          : nullptr;
}

const char* tolva_instrument_name(const tolva_song* song, uint32_t index) {
    return song && index < song->facts.instrumentNames.size() ? song->facts.instrumentNames[index]
                                                              : nullptr;
}

uint32_t tolva_length_ms(const tolva_song* song) {
    return song ? song->loaded.length.lengthMs : 0;
}

uint64_t tolva_length_frames(const tolva_song* song) {
    return song ? song->lengthFrames : 0;
}

} // extern "C"
