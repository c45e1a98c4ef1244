#include "support/XmBuilder.h"

#include "formats/xm/XmLoader.h"
#include "song/MemoryStream.h"
#include "support/ByteWriter.h"
#include "support/PlayerHarness.h"

#include <algorithm>

namespace tolva::test {

XmSampleDef xmSquare(uint32_t frames) {
    XmSampleDef s = {.loopType = 1, .loopLength = frames};
    for (uint32_t i = 0; i < frames; ++i)
        s.pcm.push_back(i % 16 < 8 ? 100 : -100);
    return s;
}

XmInstrumentDef xmInstrument(XmSampleDef sample) {
    return {.samples = {std::move(sample)}};
}

XmInstrumentDef xmInstrument(XmSampleDef sample, XmSampleDef second, uint32_t split) {
    XmInstrumentDef i = xmInstrument(std::move(sample));
    i.samples.push_back(std::move(second));
    std::fill(i.noteMap.begin() + split, i.noteMap.end(), 1);
    return i;
}

XmBuilder xmLine(std::vector<XmCell> rows, XmInstrumentDef instrument) {
    return XmBuilder().instrument(std::move(instrument)).column(0, rows);
}

XmBuilder xmCommands(uint8_t effect, std::initializer_list<uint8_t> params) {
    std::vector<XmCell> rows = {xmNote(48, 1)};
    for (uint8_t p : params)
        rows.push_back(xmFx(effect, p));
    return xmLine(rows);
}

std::unique_ptr<Player> playXm(const std::vector<uint8_t>& bytes, RecordingMixer& mixer) {
    MemoryStream stream(bytes);
    return ready(loadXm(stream, false, &mixer));
}

namespace {

void writeCell(ByteWriter& w, const XmCell& c, bool unpacked) {
    const uint8_t fields[5] = {c.note, c.instrument, c.volume, c.effect, c.param};
    uint8_t mask = 0x80;
    for (uint32_t i = 0; i < 5; ++i)
        mask |= static_cast<uint8_t>((fields[i] != 0) << i);
    if (!unpacked)
        w.u8(mask);
    for (uint32_t i = 0; i < 5; ++i)
        if (unpacked || fields[i] != 0)
            w.u8(fields[i]);
}

void writeEnvelope(ByteWriter& w, const XmEnvelopeDef& e) {
    for (uint32_t i = 0; i < 12; ++i)
        w.u16le(i < e.points.size() ? e.points[i].first : 0,
                i < e.points.size() ? e.points[i].second : 0);
}

void writeSample(ByteWriter& w, const XmSampleDef& s) {
    w.u32le(static_cast<uint32_t>(s.pcm.size()) * (s.sixteenBit ? 2 : 1), s.loopStart,
            s.loopLength);
    w.u8(s.volume, s.finetune, s.loopType | (s.sixteenBit ? 0x10 : 0) | (s.stereo ? 0x20 : 0),
         s.panning, s.relativeNote, s.adpcm.empty() ? 0 : 0xAD);
    w.zeros(22); // name
}

// Sample data is stored as differences from the previous value, from 0 for each stereo side.
void writeData(ByteWriter& w, const XmInstrumentDef& ins) {
    for (const XmSampleDef& s : ins.samples) {
        w.raw(s.adpcm.data(), s.adpcm.size());
        const std::size_t side = s.stereo ? s.pcm.size() / 2 : s.pcm.size();
        for (std::size_t i = 0; i < s.pcm.size() && s.adpcm.empty(); ++i) {
            const int16_t before = i % side != 0 ? s.pcm[i - 1] : 0;
            const uint32_t delta = static_cast<uint32_t>(s.pcm[i] - before);
            w.u8(delta);
            if (s.sixteenBit)
                w.u8(delta >> 8);
        }
    }
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
    w.text(tracker_, 20);
    w.u16le(version102_ ? 0x0102 : 0x0104);
    w.u32le(276);
    w.u16le(orders_.size(), 0, channels_, patterns, instruments_.size(), flags_, speed_, 125);
    for (uint32_t i = 0; i < 256; ++i)
        w.u8(i < orders_.size() ? orders_[i] : 0);

    const auto writePatterns = [&] {
        for (uint32_t p = 0; p < patterns; ++p) {
            const uint32_t rowCount = rows_.contains(p) ? rows_.at(p) : 64;
            ByteWriter data;
            for (uint32_t row = 0; row < rowCount; ++row)
                for (uint32_t ch = 0; ch < channels_; ++ch) {
                    const auto it = cells_.find({p, row, ch});
                    writeCell(data, it == cells_.end() ? XmCell{} : it->second, unpacked_);
                }
            // Version 1.02: an 8-byte header with the row count less one in a byte.
            w.u32le(version102_ ? 8 : 9);
            w.u8(0, version102_ ? rowCount - 1 : rowCount);
            if (!version102_)
                w.u8(rowCount >> 8);
            w.u16le(static_cast<uint32_t>(data.size()));
            w.raw(data.bytes().data(), data.size());
        }
    };

    if (!version102_)
        writePatterns();
    for (const XmInstrumentDef& ins : instruments_) {
        w.u32le(ins.samples.empty() ? 29 : 263);
        w.zeros(22); // name
        w.u8(0);
        w.u16le(ins.samples.size());
        if (ins.samples.empty())
            continue;
        w.u32le(40);
        w.raw(ins.noteMap.data(), ins.noteMap.size());
        const XmEnvelopeDef& v = ins.volumeEnvelope;
        const XmEnvelopeDef& p = ins.panningEnvelope;
        writeEnvelope(w, v);
        writeEnvelope(w, p);
        w.u8(v.points.size(), p.points.size(), v.sustain, v.loopStart, v.loopEnd, p.sustain,
             p.loopStart, p.loopEnd, v.type, p.type);
        w.raw(ins.autoVibrato.data(), ins.autoVibrato.size());
        w.u16le(ins.fadeout);
        w.zeros(22); // reserved, up to the 263-byte header size
        for (const XmSampleDef& s : ins.samples)
            writeSample(w, s);
        if (!version102_)
            writeData(w, ins);
    }
    if (version102_) {
        writePatterns();
        for (const XmInstrumentDef& ins : instruments_)
            writeData(w, ins);
    }
    return w.bytes();
}

} // namespace tolva::test
