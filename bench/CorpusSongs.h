#pragma once
// Songs of the shared module corpus loaded the way the player loads them, for the benchmarks.
#include "formats/SongPipeline.h"
#include "support/Corpus.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tolva::bench {

using test::corpusFiles;
using test::readWholeFile;

// A song loaded from memory, its length scanned.
struct CorpusSong : LoadedSong {
    std::string path;
};

// Null when the file does not load.
std::unique_ptr<CorpusSong> loadCorpusSong(const std::string& path, const SongOptions& options);

// Bytes of decoded sample data the song holds.
uint64_t sampleDataBytes(SongSession& session);

// Renders the song from its start to its end as the plug-in's playback thread does (blocks of
// 576 frames, 16-bit stereo); answers the frames rendered.
uint64_t renderWholeSong(LoadedSong& song, const SongOptions& options);

} // namespace tolva::bench
