// Loading the largest files of the corpus from memory: parsing, decoding and keeping their
// sample data, without the length scan.
#include "bench/CorpusSongs.h"

#include "song/MemoryStream.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>

using namespace tolva;
using namespace tolva::bench;

namespace {

constexpr int LargestCount = 4;

void loadLargest(benchmark::State& state) {
    std::vector<std::string> files = corpusFiles("songs");
    std::sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        return std::filesystem::file_size(a) > std::filesystem::file_size(b);
    });
    if (files.size() <= std::size_t(state.range(0))) {
        state.SkipWithError("the corpus has fewer songs");
        return;
    }
    const std::string& path = files[std::size_t(state.range(0))];
    const std::vector<uint8_t> bytes = readWholeFile(path);
    for (auto _ : state) {
        MemoryStream stream(bytes.data(), bytes.size());
        LoadedSong song;
        if (loadSong(stream, {.scan = false}, song) != LoadFailure::None) {
            state.SkipWithError("the file does not load");
            return;
        }
        benchmark::DoNotOptimize(song.session.get());
    }
    state.SetLabel(std::filesystem::path(path).filename().string());
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}

} // namespace

BENCHMARK(loadLargest)->DenseRange(0, LargestCount - 1)->Unit(benchmark::kMillisecond);
