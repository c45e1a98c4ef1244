#pragma once
// A four-channel 31-sample MOD file in memory.
#include <cstdint>
#include <string>
#include <vector>

namespace demosong {

struct ModSample {
    std::string name;
    std::vector<int8_t> data; // even length
    uint8_t volume = 64;
    uint32_t loopStart = 0;  // bytes, even
    uint32_t loopLength = 0; // bytes, even; 0 = no loop
};

struct Cell {
    uint16_t period = 0;
    uint8_t sample = 0; // 1-based, 0 = none
    uint8_t effect = 0;
    uint8_t param = 0;
};

constexpr int Rows = 64;
constexpr int Channels = 4;

struct Pattern {
    Cell cells[Rows][Channels];
};

struct ModSong {
    std::string title;
    std::vector<ModSample> samples; // at most 31
    std::vector<Pattern> patterns;
    std::vector<uint8_t> orders;
};

std::vector<uint8_t> writeMod(const ModSong& song);

} // namespace demosong
