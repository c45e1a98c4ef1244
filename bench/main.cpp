// Runs the benchmarks; `tolva_bench --sample-bytes FILE...` instead prints the decoded sample
// data each module keeps once loaded, which scripts/bench sets against the peak memory of
// rendering it.
#include "bench/CorpusSongs.h"

#include <benchmark/benchmark.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--sample-bytes") == 0) {
        int status = 0;
        for (int i = 2; i < argc; ++i) {
            const auto song = tolva::bench::loadCorpusSong(argv[i], tolva::SongOptions{});
            if (!song) {
                std::fprintf(stderr, "%s: does not load\n", argv[i]);
                status = 1;
                continue;
            }
            std::printf("%" PRIu64 " %s\n", tolva::bench::sampleDataBytes(*song->session), argv[i]);
        }
        return status;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
