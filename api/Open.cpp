#include "api/SongHandle.h"

#include "engine/Player.h"
#include "formats/FormatTable.h"

#include <new>

namespace tolva::api {

namespace {

int errorOf(LoadFailure failure) {
    switch (failure) {
    case LoadFailure::None:
        return TOLVA_OK;
    case LoadFailure::NotAModule:
        return TOLVA_E_NOT_MODULE;
    case LoadFailure::UnsupportedVersion:
        return TOLVA_E_UNSUPPORTED;
    case LoadFailure::Damaged:
        return TOLVA_E_DAMAGED;
    case LoadFailure::OutOfMemory:
        return TOLVA_E_NO_MEMORY;
    case LoadFailure::Unreadable:
        return TOLVA_E_UNREADABLE;
    }
    return TOLVA_E_DAMAGED;
}

// The API numbers the formats from 1 in the order of their ids.
static_assert(TOLVA_ALL_FORMATS == ((1u << FormatCount) - 1) << 1);

FormatSet formatSet(uint32_t bits) {
    FormatSet set = FormatSet::none();
    for (uint32_t id = 0; id < FormatCount; ++id)
        if (bits & TOLVA_FORMAT_BIT(id + 1))
            set.add(id);
    return set;
}

template <typename Load> tolva_song* open(const tolva_options* given, int* error, Load load) {
    LoadOptions options;
    options.findSubsongs = true;
    uint32_t formats = 0;
    int why = TOLVA_E_INVALID;
    tolva_song* song = nullptr;
    if (songOptions(given, options.song, formats)) {
        options.formats = formatSet(formats);
        song = new (std::nothrow) tolva_song;
        why = song ? errorOf(load(options, song->loaded)) : TOLVA_E_NO_MEMORY;
    }
    if (why == TOLVA_OK) {
        song->options = options.song;
        if (!describeSong(player(*song), song->facts))
            why = TOLVA_E_NO_MEMORY;
    }
    if (why != TOLVA_OK) {
        delete song;
        song = nullptr;
    } else {
        measure(*song);
        startPlayback(song->loaded, song->options.rate);
    }
    if (error)
        *error = why;
    return song;
}

} // namespace

uint64_t playableFrames(const SongLength& length, uint32_t rate, uint64_t* startFrame) {
    const uint64_t start = uint64_t{length.startOffsetMs} * rate / 1000 & ~uint64_t{1};
    const uint64_t limit = uint64_t{lengthLimitMs(length)} * rate / 1000 & ~uint64_t{1};
    const uint64_t end = limit ? limit : length.scannedFrames;
    if (startFrame)
        *startFrame = start;
    return end > start ? end - start : 0;
}

void measure(tolva_song& song) {
    song.lengthFrames = playableFrames(song.loaded.length, song.options.rate, &song.startFrame);
}

} // namespace tolva::api

using namespace tolva;

extern "C" {

tolva_song* tolva_open_memory(const void* data, size_t size, const tolva_options* options,
                              int* error) {
    if (!data || size == 0 || size > 0xFFFFFFFFu) {
        if (error)
            *error = TOLVA_E_INVALID;
        return nullptr;
    }
    return api::open(options, error, [&](const LoadOptions& o, LoadedSong& song) {
        return loadSongMemory(data, size, o, song);
    });
}

tolva_song* tolva_open_file(const char* path, const tolva_options* options, int* error) {
    if (!path || !*path) {
        if (error)
            *error = TOLVA_E_INVALID;
        return nullptr;
    }
    return api::open(options, error, [&](const LoadOptions& o, LoadedSong& song) {
        return loadSongFile(path, o, song);
    });
}

void tolva_close(tolva_song* song) {
    delete song;
}

} // extern "C"
