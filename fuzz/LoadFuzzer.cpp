// Hostile bytes through identification and loading, once for information and once for playing,
// then through every record the information dialog reads from the loaded song.
#include "engine/Descriptions.h"
#include "engine/Player.h"
#include "formats/SongPipeline.h"
#include "fuzz/Touch.h"
#include "song/MemoryStream.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace {

using namespace tolva;

void describeEverything(Player& player) {
    SongDescription song;
    player.info().describeSong(song);
    for (uint32_t i = 0; i <= MaxOrders && song.orders[i] != OrderEnd; ++i)
        fuzz::touch(&song.orders[i], sizeof(int32_t));

    for (uint32_t p = 0; p < 256; ++p) {
        PatternDescription pattern;
        player.info().describePattern(pattern, p);
        fuzz::touch(pattern.cells, pattern.size);
    }

    for (uint32_t i = 0; i < player.info().instrumentCount(); ++i) {
        InstrumentDescription instrument;
        player.info().describeInstrument(instrument, i);
        if (instrument.size > InstrumentRecordSize)
            __builtin_trap();
    }

    SampleDescription sample;
    if (player.info().samplesBelongToInstruments()) {
        for (uint32_t i = 0; i < player.info().instrumentCount(); ++i)
            for (uint32_t j = 0; j < player.info().instrumentSampleCount(i); ++j) {
                player.info().describeSample(sample, j, i);
                fuzz::touchSample(sample);
            }
    } else {
        for (uint32_t i = 0; i < player.song.sampleCount; ++i) {
            player.info().describeSample(sample, i, 0);
            fuzz::touchSample(sample);
        }
    }

    char creator[CreatorTextSize];
    player.info().creatorText(creator, sizeof creator);
    if (std::memchr(creator, '\0', sizeof creator) == nullptr)
        __builtin_trap();
    if (const char* message = player.info().songMessage())
        fuzz::touch(message, std::strlen(message));
    if (std::memchr(player.song.title, '\0', sizeof player.song.title) == nullptr)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (bool infoOnly : {true, false}) {
        LoadedSong song;
        if (loadSongMemory(data, size, {.infoOnly = infoOnly, .scan = false}, song) ==
            LoadFailure::None)
            describeEverything(song.session->player());
    }
    return 0;
}
