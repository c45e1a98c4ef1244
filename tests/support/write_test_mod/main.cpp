// write_test_mod OUT TITLE ROW...: a 4-channel MOD for the shell tests. Its one pattern plays
// once, 64 rows of 120 ms at the default speed and tempo; each ROW starts a looped 64-byte
// square wave (+64/-64, volume 64) on channel 0 at period 428.
#include "support/ModBuilder.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: write_test_mod OUT TITLE ROW...\n");
        return 2;
    }
    tolva::test::ModSampleDef square{"square", std::vector<int8_t>(64, 64), 64, 0, 0, 64};
    std::fill(square.data.begin() + 32, square.data.end(), -64);
    tolva::test::ModBuilder song;
    song.title(argv[2]).sample(square);
    for (int i = 3; i < argc; ++i)
        song.cell(0, static_cast<uint32_t>(std::atoi(argv[i])), 0, {428, 1, 0, 0});
    const std::vector<uint8_t> bytes = song.build();
    std::FILE* out = std::fopen(argv[1], "wb");
    return out && std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size() &&
                   std::fclose(out) == 0
               ? 0
               : 1;
}
