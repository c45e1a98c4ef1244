#include "bench/CorpusSongs.h"

#include "engine/PlaybackStart.h"
#include "engine/Player.h"
#include "engine/SongSettings.h"
#include "song/MemoryStream.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace tolva::bench {

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

} // namespace

std::vector<std::string> corpusFiles(const std::string& sub, const std::string& extension) {
    std::vector<std::string> files;
    std::error_code error;
    const std::filesystem::path dir = std::filesystem::path(TOLVA_CORPUS_DIR) / sub;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        if (!entry.is_regular_file())
            continue;
        if (extension.empty() || lower(entry.path().extension().string()) == "." + lower(extension))
            files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<uint8_t> readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

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
