// Writes the demo song, a small MOD made of synthesised waveforms, to the file named on the
// command line.
#include "DemoTune.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tolva_demosong OUT.mod\n");
        return 2;
    }
    std::vector<uint8_t> bytes = demosong::demoTune();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size() ||
        std::fclose(out) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}
