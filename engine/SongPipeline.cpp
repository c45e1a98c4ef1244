#include "engine/SongPipeline.h"

#include "engine/Player.h"
#include "engine/SongSettings.h"
#include "song/FileStream.h"

#include <algorithm>

namespace tolva {

LoadFailure loadSong(InputStream& stream, const Settings& settings, LoadedSong& song,
                     const LoadOptions& options) {
    song.infoOnly = options.infoOnly && !(options.scan && settings.removeSilence);
    LoadFailure failure = LoadFailure::None;
    song.session = createSession(stream, song.infoOnly, &failure);
    if (!song.session)
        return failure;
    applySettings(song.session->player(), settings, song.infoOnly);
    if (options.scan)
        song.length = scanLength(*song.session, settings, options.maxScanSeconds);
    return LoadFailure::None;
}

LoadFailure loadSongFile(const char* path, const Settings& settings, LoadedSong& song,
                         const LoadOptions& options) {
    FileStream stream(path, platform::FileMode::Read);
    if (!stream.isOpen())
        return LoadFailure::Unreadable;
    song.fileSize = stream.size();
    return loadSong(stream, settings, song, options);
}

RenderFormat renderFormat(const Settings& settings, uint32_t bits) {
    RenderFormat format;
    format.bits = static_cast<uint8_t>(bits);
    format.signedOutput = bits != 8;
    format.interpolate = !settings.disableOversampling;
    format.forceMono = settings.forceMono != 0;
    format.reverseStereo = settings.reverseStereo != 0;
    return format;
}

void preparePlayback(LoadedSong& song, uint32_t rate) {
    song.session->mixer().setLengthLimit(lengthLimitMs(song.length));
    song.session->player().configurePlayback(rate);
}

void seekSong(LoadedSong& song, uint32_t rate, int64_t positionMs) {
    const int64_t ms = std::max<int64_t>(0, positionMs + song.length.startOffsetMs);
    const uint64_t frame = uint64_t(ms) * rate / 1000;
    song.session->seekToFrame(static_cast<uint32_t>(std::min<uint64_t>(frame, 0xFFFFFFFFu)));
}

int64_t songPositionMs(const LoadedSong& song, uint32_t rate) {
    return int64_t{song.session->player().playedFrames} * 1000 / rate - song.length.startOffsetMs;
}

void startPlayback(LoadedSong& song, uint32_t rate, uint32_t positionMs) {
    preparePlayback(song, rate);
    seekSong(song, rate, positionMs);
}

} // namespace tolva
