#include "bench/CorpusSongs.h"

#include "engine/Player.h"

namespace tolva::bench {

std::unique_ptr<CorpusSong> loadCorpusSong(const std::string& path, const SongOptions& options) {
    const std::vector<uint8_t> bytes = readWholeFile(path);
    auto song = std::make_unique<CorpusSong>();
    song->path = path;
    if (loadSongMemory(bytes.data(), bytes.size(), {.song = options}, *song) != LoadFailure::None)
        return nullptr;
    return song;
}

uint64_t sampleDataBytes(SongSession& session) {
    Player& player = session.player();
    uint64_t bytes = 0;
    if (player.info().samplesBelongToInstruments()) {
        // Such formats (XM) describe their samples' lengths in bytes.
        for (uint32_t i = 0; i < player.info().instrumentCount(); ++i) {
            for (uint32_t k = 0; k < player.info().instrumentSampleCount(i); ++k) {
                SampleDescription description;
                player.info().describeSample(description, k, i);
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

uint64_t renderWholeSong(LoadedSong& song, const SongOptions& options) {
    // Playback starts from a rewound song, as after the length scan.
    song.session->seekToFrame(0);
    startPlayback(song, options.rate);
    const RenderFormat format = renderFormat(options, 16);
    int16_t block[2 * 576];
    uint64_t frames = 0;
    while (const uint32_t n = song.session->renderFrames(576, block, &format))
        frames += n;
    return frames;
}

} // namespace tolva::bench
