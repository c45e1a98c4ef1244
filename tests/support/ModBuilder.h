#pragma once
// Writes MOD files from a compact description, for tests that build the song they play.
#include <cstdint>
#include <map>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace tolva::test {

struct ModCell {
    uint16_t period = 0;
    uint8_t sample = 0; // 1-based, 0 = none
    uint8_t effect = 0;
    uint8_t param = 0;
};

// A cell playing note n (1..96, C-0 = 1) with the period the tracker would write.
ModCell note(uint32_t n, uint8_t sample = 0, uint8_t effect = 0, uint8_t param = 0);
// A cell with only an effect.
inline ModCell fx(uint8_t effect, uint8_t param) {
    return {0, 0, effect, param};
}

struct ModSampleDef {
    std::string name;
    std::vector<int8_t> data; // even length
    uint8_t volume = 64;
    uint8_t finetune = 0;    // the header byte
    uint32_t loopStart = 0;  // bytes, even
    uint32_t loopLength = 0; // bytes, even
};

// A square wave of `length` bytes (even), looped over its whole length.
ModSampleDef squareSample(uint32_t length, uint8_t volume = 64, uint8_t finetune = 0);

class ModBuilder {
public:
    // An empty tag writes the 15-sample form.
    explicit ModBuilder(uint32_t channels = 4, std::string tag = "M.K.")
        : channels_(channels), tag_(std::move(tag)) {}

    ModBuilder& title(std::string text) { return set(title_, std::move(text)); }
    ModBuilder& sample(ModSampleDef def) {
        samples_.push_back(std::move(def));
        return *this;
    }
    // Also sets the song length.
    ModBuilder& orders(std::vector<uint8_t> list) {
        songLength_ = static_cast<uint8_t>(list.size());
        return set(orders_, std::move(list));
    }
    ModBuilder& songLength(uint8_t length) { return set(songLength_, length); }
    ModBuilder& cell(uint32_t pattern, uint32_t row, uint32_t channel, ModCell c) {
        return set(cells_[{pattern, row, channel}], c);
    }

    std::vector<uint8_t> build() const;

private:
    template <typename T, typename V> ModBuilder& set(T& field, V value) {
        field = std::move(value);
        return *this;
    }

    uint32_t channels_;
    std::string tag_;
    std::string title_;
    std::vector<ModSampleDef> samples_;
    std::vector<uint8_t> orders_{0};
    uint8_t songLength_ = 1;
    std::map<std::tuple<uint32_t, uint32_t, uint32_t>, ModCell> cells_;
};

} // namespace tolva::test
