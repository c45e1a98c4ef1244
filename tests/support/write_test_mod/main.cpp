// write_test_mod OUT TITLE [--tunes N] ROW...: a 4-channel MOD for the shell tests. Its one
// pattern plays once, 64 rows of 120 ms at the default speed and tempo; each ROW starts a looped
// 64-byte square wave (+64/-64, volume 64) on channel 0 at period 428. With --tunes N the song
// holds N tunes instead, one per order: tune k (from 1) plays those rows up to row 16k - 1 of
// its own pattern, whose jump back to its own order ends it (1.92 s x k).
#include "support/ModBuilder.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: write_test_mod OUT TITLE [--tunes N] ROW...\n");
        return 2;
    }
    tolva::test::ModSampleDef square{"square", std::vector<int8_t>(64, 64), 64, 0, 0, 64};
    std::fill(square.data.begin() + 32, square.data.end(), -64);
    tolva::test::ModBuilder song;
    song.title(argv[2]).sample(square);
    int first = 3;
    uint32_t tunes = 0;
    if (argc > 4 && std::strcmp(argv[3], "--tunes") == 0) {
        tunes = static_cast<uint32_t>(std::atoi(argv[4]));
        first = 5;
        std::vector<uint8_t> orders;
        for (uint32_t k = 0; k < tunes; ++k) {
            orders.push_back(static_cast<uint8_t>(k));
            song.cell(k, 16 * (k + 1) - 1, 3, tolva::test::fx(0xB, static_cast<uint8_t>(k)));
        }
        song.orders(orders);
    }
    for (uint32_t k = 0; k < std::max(tunes, 1u); ++k)
        for (int i = first; i < argc; ++i)
            song.cell(k, static_cast<uint32_t>(std::atoi(argv[i])), 0, {428, 1, 0, 0});
    const std::vector<uint8_t> bytes = song.build();
    std::FILE* out = std::fopen(argv[1], "wb");
    return out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() &&
                   std::fclose(out) == 0
               ? 0
               : 1;
}
