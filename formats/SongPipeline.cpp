#include "formats/SongPipeline.h"

#include "engine/Player.h"
#include "song/FileStream.h"
#include "song/ViewStream.h"

#include <algorithm>

namespace tolva {

LoadFailure loadSong(InputStream& stream, const LoadOptions& options, LoadedSong& song) {
    song.infoOnly = options.infoOnly && !(options.scan && options.song.removeSilence);
    LoadFailure failure = LoadFailure::None;
    const PlayerRequest request{options.formats, song.infoOnly, options.song.seed};
    song.session = createSession(stream, request, &failure);
    if (!song.session)
        return failure;
    Player& player = song.session->player();
    applyOptions(player, options.song, song.infoOnly);
    if (options.scan) {
        song.length = scanLength(*song.session, options.song, options.maxScanSeconds);
        const bool found =
            options.findSubsongs
                ? findSubsongs(*song.session, options.song, song.length, options.maxScanSeconds,
                               song.subsongs)
                : song.subsongs.resize(1);
        if (!found)
            return LoadFailure::OutOfMemory;
        song.subsongs[0] = {0, song.length, {}};
    }
    song.randomAtStart = player.random;
    return LoadFailure::None;
}

bool selectSubsong(LoadedSong& song, uint32_t index) {
    if (index >= song.subsongs.size())
        return false;
    const Subsong& tune = song.subsongs[index];
    Player& player = song.session->player();
    player.startAt(tune.startOrder, tune.earlier);
    player.random = song.randomAtStart;
    song.length = tune.length;
    song.subsong = index;
    return true;
}

LoadFailure loadSongFile(const char* path, const LoadOptions& options, LoadedSong& song) {
    FileStream stream(path, platform::FileMode::Read);
    if (!stream.isOpen())
        return LoadFailure::Unreadable;
    song.fileSize = stream.size();
    return loadSong(stream, options, song);
}

LoadFailure loadSongMemory(const void* data, std::size_t size, const LoadOptions& options,
                           LoadedSong& song) {
    if (size > 0xFFFFFFFFu || (!data && size))
        return LoadFailure::Unreadable;
    ViewStream stream(data, size);
    song.fileSize = static_cast<uint32_t>(size);
    return loadSong(stream, options, song);
}

RenderFormat renderFormat(const SongOptions& options, uint32_t bits) {
    RenderFormat format;
    format.bits = static_cast<uint8_t>(bits);
    format.signedOutput = bits != 8;
    format.interpolation = options.interpolation;
    format.forceMono = options.mono;
    format.reverseStereo = options.reverseStereo;
    format.stereoSeparation = options.stereoSeparation;
    format.mutedChannels = options.mutedChannels;
    return format;
}

void setAmplification(LoadedSong& song, int16_t amp) {
    Player& player = song.session->player();
    player.gain = playerGain(player, amp);
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
