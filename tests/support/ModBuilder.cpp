#include "support/ModBuilder.h"

#include "engine/Tables.h"
#include "support/ByteWriter.h"

#include <algorithm>

namespace tolva::test {

ModCell note(uint32_t n, uint8_t sample, uint8_t effect, uint8_t param) {
    return {periodTable[n - 1], sample, effect, param};
}

ModSampleDef squareSample(uint32_t length, uint8_t volume, uint8_t finetune) {
    ModSampleDef s{"square", {}, volume, finetune, 0, length};
    for (uint32_t i = 0; i < length; ++i)
        s.data.push_back(i % 16 < 8 ? 100 : -100);
    return s;
}

std::vector<uint8_t> ModBuilder::build() const {
    const bool fifteen = tag_.empty();
    const uint32_t sampleSlots = fifteen ? 15 : 31;
    ByteWriter w;
    w.text(title_, 20);
    for (uint32_t i = 0; i < sampleSlots; ++i) {
        const ModSampleDef s = i < samples_.size() ? samples_[i] : ModSampleDef{"", {}, 0};
        w.text(s.name, 22);
        w.u16be(static_cast<uint32_t>(s.data.size() / 2));
        w.u8(s.finetune, s.volume);
        w.u16be(s.loopStart / 2, s.loopLength / 2);
    }
    w.u8(songLength_, 0x7F);
    uint32_t highest = 0;
    const uint32_t limit = tag_ == "M!K!" ? 127 : 63;
    for (uint32_t i = 0; i < 128; ++i) {
        const uint8_t entry = i < orders_.size() ? orders_[i] : 0;
        w.u8(entry);
        if (entry <= limit)
            highest = std::max<uint32_t>(highest, entry);
    }
    if (!fifteen)
        w.text(tag_, 4);
    for (uint32_t p = 0; p <= highest; ++p)
        for (uint32_t row = 0; row < 64; ++row)
            for (uint32_t ch = 0; ch < channels_; ++ch) {
                const auto it = cells_.find({p, row, ch});
                const ModCell c = it == cells_.end() ? ModCell{} : it->second;
                w.u8((c.sample & 0x10) | (c.period >> 8 & 0x0F), c.period & 0xFF,
                     (c.sample & 0x0F) << 4 | (c.effect & 0x0F), c.param);
            }
    for (const ModSampleDef& s : samples_)
        w.raw(s.data.data(), s.data.size());
    return w.bytes();
}

} // namespace tolva::test
