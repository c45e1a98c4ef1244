#pragma once
// What a tolva_song is inside: a song loaded through the pipeline every front end uses, with
// the facts and the position the API reports.
#include "engine/SongOptions.h"
#include "formats/SongFacts.h"
#include "formats/SongPipeline.h"
#include "platform/HeapObject.h"
#include "tolva/tolva.h"

#include <cstdint>

struct tolva_song : tolva::HeapObject {
    tolva::LoadedSong loaded;
    tolva::SongOptions options;
    tolva::SongFacts facts;
    uint64_t startFrame = 0;   // the song's frame where frame 0 of the API lies
    uint64_t lengthFrames = 0; // what rendering from frame 0 gives
    uint64_t frame = 0;        // the API's frame that the next render gives first
    // The mixer renders pairs of frames; the second of a pair a caller asked only half of
    // waits here, in the sample type of that call.
    union {
        int16_t s16[2];
        float f32[2];
    } ahead{};
    int32_t repeat = 0; // as tolva_set_repeat gave it
    bool hasAhead = false;
    bool aheadIsFloat = false;
};

namespace tolva::api {

// The options a caller gave (null: the defaults) as the engine's, with the formats to
// recognise; false when a field is out of range.
bool songOptions(const tolva_options* given, SongOptions& out, uint32_t& formats);

// How the song renders now, in 16-bit integers or floats.
RenderFormat currentFormat(const tolva_song& song, bool isFloat);

// Player and position helpers shared by the API's files.
inline Player& player(tolva_song& song) {
    return song.loaded.session->player();
}

// The frames a caller gets from a tune measured as `length` at `rate`: from the end of its
// leading silence (*startFrame, when asked) to its length limit or its end, both as the mixer
// counts frames (in pairs).
uint64_t playableFrames(const SongLength& length, uint32_t rate, uint64_t* startFrame = nullptr);
// Sets the song's startFrame and lengthFrames from the length of the tune it plays.
void measure(tolva_song& song);
// Hands the song's repeat count to its player and the mixer's length limit.
void applyRepeat(tolva_song& song);
// Back to the API's frame 0 of the tune, with the random generator as playback first found it.
void rewind(tolva_song& song);

// Renders `frames` (even) frames of the sample type into `out` from where the song stands;
// answers the frames rendered.
uint32_t renderPairs(tolva_song& song, void* out, uint32_t frames, bool isFloat);

// Moves the song to frame `frame` of the API's count, exactly.
void seekExact(tolva_song& song, uint64_t frame);

} // namespace tolva::api
