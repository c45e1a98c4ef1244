#include "support/ItFileBuilder.h"

#include "support/ByteWriter.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace tolva::test {

void putWord(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
    putBytes(bytes, at, {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)});
}

void putLong(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
    putBytes(bytes, at,
             {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16), uint8_t(value >> 24)});
}

void putBytes(std::vector<uint8_t>& bytes, std::size_t at, const std::vector<uint8_t>& values) {
    std::copy(values.begin(), values.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

std::vector<uint8_t> itInstrumentRecord(const std::string& name, uint8_t sample, bool old) {
    ByteWriter w;
    w.text("IMPI", 0x20);
    w.text(name.substr(0, 26), 0x20);
    for (uint32_t n = 0; n < 120; ++n)
        w.u8(n, sample);
    std::vector<uint8_t>& r = w.bytes();
    r.resize(old ? 554 : 550);
    if (old)
        r[0x1F8] = 0xFF; // no envelope nodes
    else
        putBytes(r, 0x17, {60, 128, 32 | 0x80}); // pitch-pan centre, global volume, pan
    return r;
}

ItFileBuilder::ItFileBuilder() {
    std::memset(channelPan, 32, sizeof channelPan);
    std::memset(channelVolume, 64, sizeof channelVolume);
}

std::vector<uint8_t> ItFileBuilder::build() const {
    ByteWriter w;
    w.text("IMPM", 4);
    w.text(title, 28);
    w.u16le(orders.size(), instruments.size(), samples.size(), patterns.size(), createdWith,
            compatibleWith, flags, (message.empty() ? 0 : 1) | (macros.empty() ? 0 : 8));
    w.u8(globalVolume, mixVolume, speed, tempo, panSeparation, 0);
    w.u16le(message.size());
    w.zeros(8); // message offset, reserved
    w.raw(channelPan, 64);
    w.raw(channelVolume, 64);
    w.raw(orders.data(), orders.size());
    std::vector<uint8_t>& f = w.bytes();
    // Each offset table entry (instruments, samples, then patterns) points at what comes next.
    std::size_t entry = w.size();
    w.zeros(4 * (instruments.size() + samples.size() + patterns.size()));
    const auto pointHere = [&](std::size_t at) { putLong(f, at, static_cast<uint32_t>(f.size())); };
    if (!macros.empty()) {
        std::vector<uint8_t> set((9 + 16 + 128) * 32); // the 9 global macros stay empty
        for (const auto& [slot, text] : macros)
            std::copy(text.begin(), text.end(), set.begin() + (9 + slot) * 32);
        w.raw(set.data(), set.size());
    }
    if (!message.empty()) {
        pointHere(0x38);
        w.text(message, message.size());
    }
    for (const std::vector<uint8_t>& record : instruments) {
        pointHere(entry);
        entry += 4;
        w.raw(record.data(), record.size());
    }
    std::vector<std::size_t> dataPointers;
    for (const ItTestSample& s : samples) {
        pointHere(entry);
        entry += 4;
        w.text("IMPSSAMPLE.WAV", 17);
        w.u8(s.globalVolume, s.flags, s.volume);
        w.text(s.name, 26);
        w.u8(s.convert, s.defaultPan);
        w.u32le(s.frames, s.loopStart, s.loopEnd, s.rate, s.sustainStart, s.sustainEnd);
        dataPointers.push_back(w.size());
        w.zeros(4);
        w.raw(s.vibrato.data(), 4);
    }
    for (const ItTestPattern& p : patterns) {
        if (!p.absent) {
            pointHere(entry);
            w.u16le(p.packed.size(), p.rows);
            w.zeros(4);
            w.raw(p.packed.data(), p.packed.size());
        }
        entry += 4;
    }
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const ItTestSample& s = samples[i];
        pointHere(dataPointers[i]);
        w.raw(s.data.data(), s.data.size());
        const uint32_t bytes = s.frames * (s.flags & 0x02 ? 2 : 1) * (s.flags & 0x04 ? 2 : 1);
        for (uint32_t n = 0; s.data.empty() && n < bytes; ++n)
            w.u8(n);
    }
    return f;
}

std::vector<uint8_t> ItTestInstrument::record() const {
    std::vector<uint8_t> r = itInstrumentRecord("instrument", sample);
    putBytes(r, 0x11, {newNoteAction, duplicateCheckType, duplicateCheckAction});
    putWord(r, 0x14, fadeOut);
    putBytes(r, 0x16,
             {static_cast<uint8_t>(pitchPanSeparation), 60, globalVolume, defaultPan, randomVolume,
              randomPan});
    putBytes(r, 0x3A, {filterCutoff, filterResonance});
    for (const auto& [note, target] : noteMap)
        putBytes(r, 0x40 + 2 * note, {target.first, target.second});
    for (const auto& [at, e] : {std::pair{0x130, volume}, {0x182, pan}, {0x1D4, pitch}}) {
        putBytes(r, at,
                 {e.flags, static_cast<uint8_t>(e.nodes.size()), e.loopStart, e.loopEnd,
                  e.sustainStart, e.sustainEnd});
        for (std::size_t i = 0; i < e.nodes.size() && i < 25; ++i) {
            r[at + 6 + 3 * i] = static_cast<uint8_t>(e.nodes[i].second);
            putWord(r, at + 7 + 3 * i, e.nodes[i].first);
        }
    }
    return r;
}

std::vector<ItPlacedCell> itRows(const std::string& text) {
    std::vector<ItPlacedCell> cells;
    std::istringstream rows(text);
    std::string row, cell, field;
    for (uint32_t r = 0; std::getline(rows, row, ','); ++r) {
        std::istringstream channels(row);
        for (uint32_t k = 0; std::getline(channels, cell, '|'); ++k) {
            ItTestCell c;
            std::istringstream fields(cell);
            bool any = false;
            for (; fields >> field; any = true) {
                const char kind = field[0];
                if (kind >= 'A' && kind <= '\\') {
                    c.effect = kind;
                    c.param = std::stoi(field.substr(1), nullptr, 16);
                } else if (kind == 'v' || kind == 'i') {
                    (kind == 'v' ? c.volume : c.instrument) = std::stoi(field.substr(1));
                } else {
                    (c.note < 0 ? c.note : c.instrument) = std::stoi(field);
                }
            }
            if (any)
                cells.push_back({r, k, c});
        }
    }
    return cells;
}

ItTestPattern itPattern(const std::vector<ItPlacedCell>& cells, uint16_t rows) {
    ByteWriter w;
    for (uint32_t row = 0; row < rows; ++row) {
        for (const auto& [at, channel, c] : cells) {
            if (at != row)
                continue;
            w.u8(0x80 | (channel + 1), (c.note >= 0) | (c.instrument >= 0) << 1 |
                                           (c.volume >= 0) << 2 | (c.effect != 0) << 3);
            for (int value : {c.note, c.instrument, c.volume})
                if (value >= 0)
                    w.u8(value);
            if (c.effect)
                w.u8(c.effect - 'A' + 1, c.param);
        }
        w.u8(0);
    }
    return {rows, w.bytes()};
}

ItTestSample rampSample(uint32_t frames, bool looped) {
    return {
        .flags = uint8_t(looped ? 0x11 : 0x01), .frames = frames, .loopEnd = looped ? frames : 0};
}

std::vector<uint8_t> packBits(const ItCodes& codes) {
    std::vector<uint8_t> bytes;
    uint32_t used = 0; // bits in the stream so far
    for (auto [value, width] : codes)
        for (uint32_t i = 0; i < width; ++i, ++used) {
            if (used % 8 == 0)
                bytes.push_back(0);
            bytes.back() |= static_cast<uint8_t>(((value >> i) & 1) << (used % 8));
        }
    return bytes;
}

std::vector<uint8_t> encodeItSample(const std::vector<int32_t>& values, bool sixteenBit,
                                    bool doubleDelta) {
    const std::size_t perBlock = sixteenBit ? 0x4000 : 0x8000;
    const uint32_t mask = sixteenBit ? 0xFFFF : 0xFF;
    ByteWriter file;
    for (std::size_t start = 0; start < values.size(); start += perBlock) {
        ItCodes codes;
        int32_t previous = 0, previousDelta = 0;
        for (std::size_t i = start; i < values.size() && i < start + perBlock; ++i) {
            const int32_t delta = values[i] - previous;
            previous = values[i];
            // The top bit of a top-width code stays clear: the decoder wraps at the sample width.
            codes.push_back(
                {static_cast<uint32_t>(doubleDelta ? delta - previousDelta : delta) & mask,
                 sixteenBit ? 17 : 9});
            previousDelta = delta;
        }
        const std::vector<uint8_t> block = packBits(codes);
        file.u16le(block.size());
        file.raw(block.data(), block.size());
    }
    return file.bytes();
}

} // namespace tolva::test
