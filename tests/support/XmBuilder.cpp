#include "support/XmBuilder.h"

#include "support/ByteWriter.h"

#include <algorithm>

namespace tolva::test {

XmCell xmNote(uint32_t n, uint8_t instrument, uint8_t volume, uint8_t effect, uint8_t param) {
    return {static_cast<uint8_t>(n + 1), instrument, volume, effect, param};
}

XmCell xmFx(uint8_t effect, uint8_t param) {
    return {0, 0, 0, effect, param};
}

XmCell xmVolume(uint8_t volume) {
    return {0, 0, volume, 0, 0};
}

XmCell xmKeyOff(uint8_t instrument) {
    return {XmFileKeyOff, instrument, 0, 0, 0};
}

XmSampleDef xmSquare(uint32_t frames) {
    XmSampleDef s;
    s.name = "square";
    for (uint32_t i = 0; i < frames; ++i)
        s.pcm.push_back(i % 16 < 8 ? 100 : -100);
    s.loopType = 1;
    s.loopStart = 0;
    s.loopLength = frames;
    return s;
}

XmInstrumentDef xmInstrument(XmSampleDef sample) {
    XmInstrumentDef i;
    i.samples.push_back(std::move(sample));
    return i;
}

XmBuilder::XmBuilder(uint32_t channels) : channels_(channels) {}

XmBuilder& XmBuilder::title(std::string text) {
    title_ = std::move(text);
    return *this;
}

XmBuilder& XmBuilder::version(uint16_t v) {
    version_ = v;
    return *this;
}

XmBuilder& XmBuilder::linearFrequencies(bool on) {
    flags_ = on ? 1 : 0;
    return *this;
}

XmBuilder& XmBuilder::speed(uint16_t ticks) {
    speed_ = ticks;
    return *this;
}

XmBuilder& XmBuilder::tempo(uint16_t bpm) {
    tempo_ = bpm;
    return *this;
}

XmBuilder& XmBuilder::restart(uint16_t position) {
    restart_ = position;
    return *this;
}

XmBuilder& XmBuilder::orders(std::vector<uint8_t> list) {
    orders_ = std::move(list);
    return *this;
}

XmBuilder& XmBuilder::patternCount(uint32_t count) {
    patternCount_ = count;
    return *this;
}

XmBuilder& XmBuilder::rows(uint32_t pattern, uint16_t count) {
    rows_[pattern] = count;
    return *this;
}

XmBuilder& XmBuilder::instrument(XmInstrumentDef def) {
    instruments_.push_back(std::move(def));
    return *this;
}

XmBuilder& XmBuilder::cell(uint32_t pattern, uint32_t row, uint32_t channel, XmCell c) {
    cells_[{pattern, row, channel}] = c;
    return *this;
}

XmBuilder& XmBuilder::unpacked() {
    unpacked_ = true;
    return *this;
}

namespace {

void writeCell(ByteWriter& w, const XmCell& c, bool unpacked) {
    if (unpacked) {
        w.u8(c.note);
        w.u8(c.instrument);
        w.u8(c.volume);
        w.u8(c.effect);
        w.u8(c.param);
        return;
    }
    const uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.param};
    uint8_t mask = 0x80;
    for (uint32_t i = 0; i < 5; ++i)
        if (fields[i] != 0)
            mask |= static_cast<uint8_t>(1u << i);
    w.u8(mask);
    for (uint32_t i = 0; i < 5; ++i)
        if (fields[i] != 0)
            w.u8(fields[i]);
}

void writeEnvelopePoints(ByteWriter& w, const XmEnvelopeDef& e) {
    for (uint32_t i = 0; i < 12; ++i) {
        const auto p = i < e.points.size() ? e.points[i] : std::pair<uint16_t, uint16_t>{};
        w.u16le(p.first);
        w.u16le(p.second);
    }
}

void writeDeltaSample(ByteWriter& w, const XmSampleDef& s) {
    int32_t previous = 0;
    for (int16_t v : s.pcm) {
        const int32_t delta = v - previous;
        previous = v;
        if (s.sixteenBit)
            w.u16le(static_cast<uint32_t>(delta) & 0xFFFF);
        else
            w.u8(static_cast<uint32_t>(delta) & 0xFF);
    }
}

uint32_t byteLength(const XmSampleDef& s) {
    return static_cast<uint32_t>(s.pcm.size()) * (s.sixteenBit ? 2 : 1);
}

} // namespace

std::vector<uint8_t> XmBuilder::build() const {
    uint32_t patterns = patternCount_;
    if (patterns == 0) {
        for (uint8_t o : orders_)
            patterns = std::max<uint32_t>(patterns, o + 1u);
        for (const auto& [key, c] : cells_)
            patterns = std::max<uint32_t>(patterns, std::get<0>(key) + 1);
    }

    ByteWriter w;
    w.text("Extended Module: ", 17);
    w.text(title_, 20);
    w.u8(0x1A);
    w.text("tolva tests", 20);
    w.u16le(version_);
    w.u32le(276);
    w.u16le(static_cast<uint32_t>(orders_.size()));
    w.u16le(restart_);
    w.u16le(channels_);
    w.u16le(patterns);
    w.u16le(static_cast<uint32_t>(instruments_.size()));
    w.u16le(flags_);
    w.u16le(speed_);
    w.u16le(tempo_);
    for (uint32_t i = 0; i < 256; ++i)
        w.u8(i < orders_.size() ? orders_[i] : 0);

    for (uint32_t p = 0; p < patterns; ++p) {
        const auto r = rows_.find(p);
        const uint32_t rowCount = r == rows_.end() ? 64 : r->second;
        ByteWriter data;
        for (uint32_t row = 0; row < rowCount; ++row)
            for (uint32_t ch = 0; ch < channels_; ++ch) {
                const auto it = cells_.find({p, row, ch});
                writeCell(data, it == cells_.end() ? XmCell{} : it->second, unpacked_);
            }
        w.u32le(9);
        w.u8(0);
        w.u16le(rowCount);
        w.u16le(static_cast<uint32_t>(data.size()));
        w.raw(data.bytes().data(), data.size());
    }

    for (const XmInstrumentDef& ins : instruments_) {
        const bool hasSamples = !ins.samples.empty();
        w.u32le(hasSamples ? 263 : 29);
        w.text(ins.name, 22);
        w.u8(0);
        w.u16le(static_cast<uint32_t>(ins.samples.size()));
        if (!hasSamples)
            continue;
        w.u32le(40);
        w.raw(ins.noteMap.data(), ins.noteMap.size());
        writeEnvelopePoints(w, ins.volumeEnvelope);
        writeEnvelopePoints(w, ins.panningEnvelope);
        w.u8(static_cast<uint32_t>(ins.volumeEnvelope.points.size()));
        w.u8(static_cast<uint32_t>(ins.panningEnvelope.points.size()));
        w.u8(ins.volumeEnvelope.sustain);
        w.u8(ins.volumeEnvelope.loopStart);
        w.u8(ins.volumeEnvelope.loopEnd);
        w.u8(ins.panningEnvelope.sustain);
        w.u8(ins.panningEnvelope.loopStart);
        w.u8(ins.panningEnvelope.loopEnd);
        w.u8(ins.volumeEnvelope.type);
        w.u8(ins.panningEnvelope.type);
        w.u8(ins.vibratoType);
        w.u8(ins.vibratoSweep);
        w.u8(ins.vibratoDepth);
        w.u8(ins.vibratoRate);
        w.u16le(ins.fadeout);
        w.zeros(22); // reserved, up to the 263-byte header size
        for (const XmSampleDef& s : ins.samples) {
            w.u32le(byteLength(s));
            w.u32le(s.loopStart);
            w.u32le(s.loopLength);
            w.u8(s.volume);
            w.u8(static_cast<uint8_t>(s.finetune));
            w.u8(s.loopType | (s.sixteenBit ? 0x10 : 0));
            w.u8(s.panning);
            w.u8(static_cast<uint8_t>(s.relativeNote));
            w.u8(0);
            w.text(s.name, 22);
        }
        for (const XmSampleDef& s : ins.samples)
            writeDeltaSample(w, s);
    }
    return w.bytes();
}

} // namespace tolva::test
