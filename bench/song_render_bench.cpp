// Whole songs of the corpus, one format at a time: rendering them from start to end (44.1 kHz,
// 16-bit stereo, interpolation on) and scanning their lengths. The realtime counters are
// seconds of song per second of work.
#include "bench/CorpusSongs.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <filesystem>

using namespace tolva;
using namespace tolva::bench;

namespace {

const char* const Formats[] = {"mod", "s3m", "xm", "it", "mtm", "669"};

// The corpus songs of the format; formats without songs there use their largest feature
// module that loads.
std::vector<std::unique_ptr<CorpusSong>> songsOf(const std::string& format,
                                                 const SongOptions& options) {
    std::vector<std::unique_ptr<CorpusSong>> songs;
    for (const std::string& path : corpusFiles("songs", format))
        if (auto song = loadCorpusSong(path, options))
            songs.push_back(std::move(song));
    if (!songs.empty())
        return songs;
    std::vector<std::string> features = corpusFiles("features/" + format, format);
    std::sort(features.begin(), features.end(), [](const std::string& a, const std::string& b) {
        return std::filesystem::file_size(a) > std::filesystem::file_size(b);
    });
    for (const std::string& path : features) {
        if (auto song = loadCorpusSong(path, options)) {
            songs.push_back(std::move(song));
            break;
        }
    }
    return songs;
}

// "xm: 31 corpus songs", or "mtm: feature file NAME".
std::string describe(const char* format, const std::vector<std::unique_ptr<CorpusSong>>& songs) {
    const std::string source = songs.front()->path;
    if (std::filesystem::path(source).parent_path().filename() == "songs")
        return std::string(format) + ": " + std::to_string(songs.size()) + " corpus songs";
    return std::string(format) + ": feature file " +
           std::filesystem::path(source).filename().string();
}

double songSeconds(const std::vector<std::unique_ptr<CorpusSong>>& songs) {
    double ms = 0;
    for (const auto& song : songs)
        ms += song->length.lengthMs;
    return ms / 1000.0;
}

void renderSongs(benchmark::State& state) {
    const SongOptions options;
    const auto songs = songsOf(Formats[state.range(0)], options);
    if (songs.empty()) {
        state.SkipWithError("no song of this format loads");
        return;
    }
    uint64_t frames = 0;
    for (auto _ : state)
        for (const auto& song : songs)
            frames += renderWholeSong(*song, options);
    state.SetLabel(describe(Formats[state.range(0)], songs));
    state.counters["realtime"] =
        benchmark::Counter(double(frames) / options.rate, benchmark::Counter::kIsRate);
}

void scanLengths(benchmark::State& state) {
    const SongOptions options;
    const auto songs = songsOf(Formats[state.range(0)], options);
    if (songs.empty()) {
        state.SkipWithError("no song of this format loads");
        return;
    }
    for (auto _ : state)
        for (const auto& song : songs)
            benchmark::DoNotOptimize(scanLength(*song->session, options));
    state.SetLabel(describe(Formats[state.range(0)], songs));
    state.counters["realtime"] =
        benchmark::Counter(songSeconds(songs), benchmark::Counter::kIsIterationInvariantRate);
}

} // namespace

BENCHMARK(renderSongs)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
BENCHMARK(scanLengths)->DenseRange(0, 5)->Unit(benchmark::kMillisecond);
