#include "support/Composer669Builder.h"

#include "support/ByteWriter.h"

#include <algorithm>

namespace tolva::test {

Cell669 Cell669::withEffect(uint32_t effect, uint32_t value) const {
    Cell669 c = *this;
    c.bytes[2] = static_cast<uint8_t>(effect << 4 | (value & 15));
    return c;
}

Cell669 note669(uint32_t n, uint32_t sample, uint32_t volume) {
    Cell669 c;
    c.bytes[0] = static_cast<uint8_t>((n - 1) << 2 | (sample >> 4 & 3));
    c.bytes[1] = static_cast<uint8_t>((sample & 15) << 4 | (volume & 15));
    return c;
}

Cell669 volume669(uint32_t volume) {
    Cell669 c;
    c.bytes[0] = 0xFE;
    c.bytes[1] = static_cast<uint8_t>(volume & 15);
    return c;
}

Cell669 effect669(uint32_t effect, uint32_t value) {
    return Cell669{}.withEffect(effect, value);
}

Sample669Def square669(uint32_t length) {
    Sample669Def s;
    s.fileName = "square.smp";
    for (uint32_t i = 0; i < length; ++i)
        s.data.push_back(i % 16 < 8 ? 0xE4 : 0x1C);
    s.loopStart = 0;
    s.loopEnd = length;
    return s;
}

Composer669Builder::Composer669Builder(std::string magic) : magic_(std::move(magic)) {
    tempo_.fill(6);
    break_.fill(63);
}

Composer669Builder& Composer669Builder::message(std::string text) {
    message_ = std::move(text);
    return *this;
}

Composer669Builder& Composer669Builder::sample(Sample669Def def) {
    samples_.push_back(std::move(def));
    return *this;
}

Composer669Builder& Composer669Builder::orders(std::vector<uint8_t> list) {
    orders_ = std::move(list);
    return *this;
}

Composer669Builder& Composer669Builder::patternCount(uint32_t count) {
    patternCount_ = static_cast<int32_t>(count);
    return *this;
}

Composer669Builder& Composer669Builder::tempo(uint32_t pattern, uint8_t ticksPerRow) {
    tempo_[pattern] = ticksPerRow;
    return *this;
}

Composer669Builder& Composer669Builder::breakRow(uint32_t pattern, uint8_t lastRow) {
    break_[pattern] = lastRow;
    return *this;
}

Composer669Builder& Composer669Builder::cell(uint32_t pattern, uint32_t row, uint32_t channel,
                                             Cell669 c) {
    cells_[{pattern, row, channel}] = c;
    return *this;
}

std::vector<uint8_t> Composer669Builder::build() const {
    uint32_t patterns = 0;
    for (uint8_t entry : orders_)
        if (entry != 0xFF)
            patterns = std::max<uint32_t>(patterns, entry + 1u);
    for (const auto& [key, c] : cells_)
        patterns = std::max(patterns, std::get<0>(key) + 1);
    if (patternCount_ >= 0)
        patterns = static_cast<uint32_t>(patternCount_);

    ByteWriter w;
    w.text(magic_, 2);
    w.text(message_, 108);
    w.u8(static_cast<uint32_t>(samples_.size()));
    w.u8(patterns);
    w.u8(0);
    for (uint32_t i = 0; i < 128; ++i)
        w.u8(i < orders_.size() ? orders_[i] : 0xFF);
    w.raw(tempo_.data(), tempo_.size());
    w.raw(break_.data(), break_.size());
    for (const Sample669Def& s : samples_) {
        w.text(s.fileName, 13);
        w.u32le(static_cast<uint32_t>(s.data.size()));
        w.u32le(s.loopStart);
        w.u32le(s.loopEnd);
    }
    for (uint32_t p = 0; p < patterns; ++p)
        for (uint32_t row = 0; row < 64; ++row)
            for (uint32_t ch = 0; ch < 8; ++ch) {
                const auto it = cells_.find({p, row, ch});
                const Cell669 c = it == cells_.end() ? Cell669{} : it->second;
                w.raw(c.bytes, 3);
            }
    for (const Sample669Def& s : samples_)
        w.raw(s.data.data(), s.data.size());
    return w.bytes();
}

} // namespace tolva::test
