#pragma once
// What every front end tells about a song: the tool's info command, the library's facts.
#include "platform/HeapArray.h"
#include "song/ModuleText.h"

#include <cstdint>

namespace tolva {

class Player;

struct SampleFacts {
    uint32_t number = 0;     // as the format counts them, from 1
    uint32_t instrument = 0; // from 1; 0 when samples do not belong to instruments
    uint32_t lengthBytes = 0;
    bool looped = false;
};

struct SongFacts {
    uint32_t format = 0; // a Format... id
    Utf8Text formatName; // with the version of the tracker that wrote the file, if known
    Utf8Text title;
    Utf8Text message; // lines ending in '\n' but the last
    uint32_t channels = 0;
    uint32_t orders = 0;
    uint32_t patterns = 0; // patterns that hold data
    uint32_t instruments = 0;
    uint32_t speed = 0;
    uint32_t tempo = 0;
    HeapArray<SampleFacts> samples;
    TextList sampleNames;     // one for each of `samples`
    TextList instrumentNames; // by instrument number, from 1; "" for an empty slot
};

// False when memory runs short.
bool describeSong(Player& player, SongFacts& out);

} // namespace tolva
