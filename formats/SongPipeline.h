#pragma once
// The one way from a file, a stream or bytes in memory to sound: loaded under the song's
// options, measured, and played from positions counted after its leading silence. The plug-in,
// the tool and the library all go through here, so they play the same file alike.
//
//   LoadedSong song;
//   if (loadSongFile(path, {.song = options}, song) == LoadFailure::None) {
//       startPlayback(song, options.rate);
//       const RenderFormat format = renderFormat(options, 16);
//       while (uint32_t n = song.session->renderFrames(frames, buffer, &format)) ...
//   }
//
// The song's facts are its player's (song.session->player()); its position in frames is
// player().playedFrames. A loaded song belongs to one thread at a time; songs share nothing.
#include "engine/LengthScan.h"
#include "engine/Random.h"
#include "engine/SongOptions.h"
#include "engine/SongSession.h"
#include "engine/SubsongScan.h"
#include "formats/FormatRegistry.h"
#include "mixer/Voice.h"

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tolva {

class InputStream;

struct LoadOptions {
    SongOptions song{};
    FormatSet formats = FormatSet::all(); // the formats recognised
    bool infoOnly = false;                // the song's facts only, without sample data
    bool scan = true;                     // measure its length
    bool findSubsongs = false;            // when scanning, also find and measure its other tunes
    uint32_t maxScanSeconds = MaxScanSeconds;
};

struct LoadedSong {
    std::unique_ptr<SongSession> session; // none when no format took the file
    SongLength length;                    // of the tune being played; zero until scanned
    // The tunes found: the main song first, then the others when asked for. The scan finds
    // the main song's alone.
    HeapArray<Subsong> subsongs;
    uint32_t subsong = 0; // the tune being played
    // The random generator as playback first finds it, so that a tune chosen later starts as
    // it would first.
    Random randomAtStart{0};
    uint32_t fileSize = 0;
    bool infoOnly = false; // loaded without sample data
};

// Loads the song, hands the options to its player and, when asked, scans its length. Finding
// silence means listening, so a scan that removes it loads the sample data even for facts.
LoadFailure loadSong(InputStream& stream, const LoadOptions& options, LoadedSong& song);
// The same from a file; the file's size is kept.
LoadFailure loadSongFile(const char* path, const LoadOptions& options, LoadedSong& song);
// The same from bytes in memory, which need not outlive the call.
LoadFailure loadSongMemory(const void* data, std::size_t size, const LoadOptions& options,
                           LoadedSong& song);

// Makes tune `index` of the song's subsongs the one played, rewound to its start; then
// startPlayback readies it. False when there is no such tune.
bool selectSubsong(LoadedSong& song, uint32_t index);

// How each block is rendered: `bits` per sample (8, 16 or 32), fixed when playback starts, and
// the options' switches, which may change between blocks.
RenderFormat renderFormat(const SongOptions& options, uint32_t bits);
// Sets the amplification (hundredths of a decibel) of a playing song.
void setAmplification(LoadedSong& song, int16_t amp);

// Readies a scanned song to play at `rate`: its length limit and the player's pace.
void preparePlayback(LoadedSong& song, uint32_t rate);
// Continues `positionMs` after the leading silence (at the song's start when that lies before).
void seekSong(LoadedSong& song, uint32_t rate, int64_t positionMs);
// Where the song stands, in milliseconds after its leading silence (negative inside it).
int64_t songPositionMs(const LoadedSong& song, uint32_t rate);
// Both, for a scanned, rewound song: ready to play from `positionMs`.
void startPlayback(LoadedSong& song, uint32_t rate, uint32_t positionMs = 0);

} // namespace tolva
