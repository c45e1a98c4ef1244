#include "support/MtmBuilder.h"

#include "support/ByteWriter.h"

#include <algorithm>

namespace tolva::test {

MtmCell mtmNote(uint32_t n, uint8_t instrument, uint8_t effect, uint8_t param) {
    return {static_cast<uint8_t>(n), instrument, effect, param};
}

MtmCell mtmFx(uint8_t effect, uint8_t param) {
    return {0, 0, effect, param};
}

MtmSampleDef mtmSquare(uint32_t length, uint8_t volume) {
    MtmSampleDef s;
    s.name = "square";
    for (uint32_t i = 0; i < length; ++i)
        s.data.push_back(i % 16 < 8 ? 0xE4 : 0x1C);
    s.loopStart = 0;
    s.loopEnd = length;
    s.volume = volume;
    return s;
}

MtmBuilder& MtmBuilder::title(std::string text) {
    title_ = std::move(text);
    return *this;
}

MtmBuilder& MtmBuilder::channels(uint8_t count) {
    channels_ = count;
    return *this;
}

MtmBuilder& MtmBuilder::rowsPerTrack(uint8_t rows) {
    rowsPerTrack_ = rows;
    return *this;
}

MtmBuilder& MtmBuilder::panning(uint32_t slot, uint8_t position) {
    pannings_[slot] = position;
    return *this;
}

MtmBuilder& MtmBuilder::sample(MtmSampleDef def) {
    samples_.push_back(std::move(def));
    return *this;
}

MtmBuilder& MtmBuilder::orders(std::vector<uint8_t> list) {
    orders_ = std::move(list);
    return *this;
}

MtmBuilder& MtmBuilder::cell(uint32_t track, uint32_t row, MtmCell c) {
    cells_[{track, row}] = c;
    trackCount_ = std::max(trackCount_, track);
    return *this;
}

MtmBuilder& MtmBuilder::pattern(uint32_t number, std::vector<uint16_t> tracks) {
    if (patterns_.size() <= number)
        patterns_.resize(number + 1);
    patterns_[number] = std::move(tracks);
    return *this;
}

MtmBuilder& MtmBuilder::comment(std::vector<uint8_t> bytes) {
    comment_ = std::move(bytes);
    return *this;
}

std::vector<uint8_t> MtmBuilder::build() const {
    ByteWriter w;
    w.text("MTM", 3);
    w.u8(0x10);
    w.text(title_, 20);
    w.u16le(trackCount_);
    w.u8(static_cast<uint32_t>(patterns_.size() - 1));
    w.u8(static_cast<uint32_t>(orders_.size() - 1));
    w.u16le(static_cast<uint32_t>(comment_.size()));
    w.u8(static_cast<uint32_t>(samples_.size()));
    w.u8(0);
    w.u8(rowsPerTrack_);
    w.u8(channels_);
    w.raw(pannings_, sizeof pannings_);
    for (const MtmSampleDef& s : samples_) {
        w.text(s.name, 22);
        w.u32le(static_cast<uint32_t>(s.data.size()));
        w.u32le(s.loopStart);
        w.u32le(s.loopEnd);
        w.u8(s.finetune);
        w.u8(s.volume);
        w.u8(s.sixteenBit ? 1 : 0);
    }
    for (uint32_t i = 0; i < 128; ++i)
        w.u8(i < orders_.size() ? orders_[i] : 0);
    for (uint32_t t = 1; t <= trackCount_; ++t)
        for (uint32_t row = 0; row < 64; ++row) {
            const auto it = cells_.find({t, row});
            const MtmCell c = it == cells_.end() ? MtmCell{} : it->second;
            const uint32_t stored = c.note != 0 ? c.note - 1u : 0;
            w.u8(stored << 2 | (c.instrument >> 4 & 3));
            w.u8((c.instrument & 15) << 4 | (c.effect & 15));
            w.u8(c.param);
        }
    for (const std::vector<uint16_t>& tracks : patterns_)
        for (uint32_t slot = 0; slot < 32; ++slot)
            w.u16le(slot < tracks.size() ? tracks[slot] : 0);
    w.raw(comment_.data(), comment_.size());
    for (const MtmSampleDef& s : samples_)
        w.raw(s.data.data(), s.data.size());
    return w.bytes();
}

} // namespace tolva::test
