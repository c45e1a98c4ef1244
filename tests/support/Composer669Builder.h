#pragma once
// Writes Composer 669 files from a compact description, for tests that build the song they play.
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <vector>

namespace tolva::test {

// The three bytes of a cell; the default is a cell without note, volume or effect.
struct Cell669 {
    uint8_t bytes[3] = {0xFF, 0x00, 0xFF};

    // The same cell with effect `effect` (0..15) and value `value` (0..15).
    Cell669 withEffect(uint32_t effect, uint32_t value) const;
};

// Note n (1..64, the period-table note) of sample `sample` (0-based) at volume 0..15.
Cell669 note669(uint32_t n, uint32_t sample, uint32_t volume);
// A cell that only sets the volume (0..15).
Cell669 volume669(uint32_t volume);
// A cell with only an effect.
Cell669 effect669(uint32_t effect, uint32_t value);

struct Sample669Def {
    std::string fileName;
    std::vector<uint8_t> data; // unsigned 8-bit PCM
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0xFFFFF; // beyond the data: no loop
};

// `length` bytes of an unsigned square wave, looped over its whole length.
Sample669Def square669(uint32_t length);

class Composer669Builder {
public:
    explicit Composer669Builder(std::string magic = "if");

    Composer669Builder& message(std::string text);
    Composer669Builder& sample(Sample669Def def);
    Composer669Builder& orders(std::vector<uint8_t> list); // the rest of the list is 0xFF
    // Patterns stored in the file; by default one more than the highest pattern named.
    Composer669Builder& patternCount(uint32_t count);
    Composer669Builder& tempo(uint32_t pattern, uint8_t ticksPerRow); // default 6
    Composer669Builder& breakRow(uint32_t pattern, uint8_t lastRow);  // default 63
    Composer669Builder& cell(uint32_t pattern, uint32_t row, uint32_t channel, Cell669 c);

    std::vector<uint8_t> build() const;

private:
    std::string magic_;
    std::string message_;
    std::vector<Sample669Def> samples_;
    std::vector<uint8_t> orders_{0};
    int32_t patternCount_ = -1;
    std::array<uint8_t, 128> tempo_;
    std::array<uint8_t, 128> break_;
    std::map<std::tuple<uint32_t, uint32_t, uint32_t>, Cell669> cells_;
};

constexpr uint32_t Header669Bytes = 497;
constexpr uint32_t SampleHeader669Bytes = 25;
constexpr uint32_t Pattern669Bytes = 1536;

} // namespace tolva::test
