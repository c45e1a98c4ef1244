#pragma once
// The one way from a file or stream to sound: loaded, under the user's settings, measured, and
// played from positions counted after its leading silence. The plug-in and the tool both go
// through here, so they play the same file alike.
#include "engine/LengthScan.h"
#include "mixer/Voice.h"
#include "settings/Settings.h"
#include "song/SongSession.h"

#include <cstdint>
#include <memory>

namespace tolva {

class InputStream;

struct LoadedSong {
    std::unique_ptr<SongSession> session; // none when no format took the file
    SongLength length;                    // zero until scanned
    uint32_t fileSize = 0;
    bool infoOnly = false; // loaded without sample data
};

struct LoadOptions {
    bool infoOnly = false; // the song's facts only, without sample data
    bool scan = true;      // measure its length
    uint32_t maxScanSeconds = MaxScanSeconds;
};

// Loads the song, hands the settings to its player and, when asked, scans its length. Finding
// silence means listening, so a scan that removes it loads the sample data even for facts.
LoadFailure loadSong(InputStream& stream, const Settings& settings, LoadedSong& song,
                     const LoadOptions& options = {});
// The same from a file; the file's size is kept.
LoadFailure loadSongFile(const char* path, const Settings& settings, LoadedSong& song,
                         const LoadOptions& options = {});

// How each block is rendered: `bits` per sample, fixed when playback starts, and the settings'
// switches, which may change between blocks.
RenderFormat renderFormat(const Settings& settings, uint32_t bits);

// Readies a scanned song to play at `rate`: its length limit and the player's pace.
void preparePlayback(LoadedSong& song, uint32_t rate);
// Continues `positionMs` after the leading silence (at the song's start when that lies before).
void seekSong(LoadedSong& song, uint32_t rate, int64_t positionMs);
// Where the song stands, in milliseconds after its leading silence (negative inside it).
int64_t songPositionMs(const LoadedSong& song, uint32_t rate);
// Both, for a scanned, rewound song: ready to play from `positionMs`.
void startPlayback(LoadedSong& song, uint32_t rate, uint32_t positionMs = 0);

} // namespace tolva
