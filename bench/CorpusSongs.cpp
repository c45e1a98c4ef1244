#include "bench/CorpusSongs.h"

#include "engine/PlaybackStart.h"
#include "engine/Player.h"
#include "engine/SongSettings.h"
#include "song/MemoryStream.h"

namespace tolva::bench {

std::unique_ptr<LoadedSong> loadSong(const std::string& path, const Settings& settings) {
    enableAllFormats();
    MemoryStream stream(readWholeFile(path));
    auto song = std::make_unique<LoadedSong>();
    song->path = path;
    song->session = createSession(stream, false);
    if (!song->session)
        return nullptr;
    applySettings(song->session->player(), settings, false);
    song->length = scanLength(*song->session, settings);
    return song;
}

uint64_t sampleDataBytes(SongSession& session) {
    Player& player = session.player();
    uint64_t bytes = 0;
    if (player.samplesBelongToInstruments()) {
        // Such formats (XM) describe their samples' lengths in bytes.
        for (uint32_t i = 0; i < player.instrumentCount(); ++i) {
            for (uint32_t k = 0; k < player.instrumentSampleCount(i); ++k) {
                SampleDescription description;
                player.describeSample(description, k, i);
                if (description.data)
                    bytes += description.length;
            }
        }
        return bytes;
    }
    for (uint32_t i = 0; i < player.song.sampleCount; ++i) {
        const Sample* s = player.sample(i);
        if (s && s->data)
            bytes += s->length;
    }
    return bytes;
}

uint64_t renderWholeSong(LoadedSong& song, const Settings& settings) {
    // Playback starts from a rewound song, as after the length scan.
    song.session->seekToFrame(0);
    startPlayback(*song.session, song.length, settings.mixingFrequency);
    RenderFormat format;
    format.bits = 16;
    format.interpolate = settings.disableOversampling ? 0 : 1;
    int16_t block[2 * 576];
    uint64_t frames = 0;
    while (const uint32_t n = song.session->renderFrames(576, block, &format))
        frames += n;
    return frames;
}

} // namespace tolva::bench
