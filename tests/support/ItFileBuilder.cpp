#include "support/ItFileBuilder.h"

#include <algorithm>
#include <cstring>

namespace tolva::test {

void putWord(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
    bytes[at] = static_cast<uint8_t>(value);
    bytes[at + 1] = static_cast<uint8_t>(value >> 8);
}

void putLong(std::vector<uint8_t>& bytes, std::size_t at, uint32_t value) {
    putWord(bytes, at, value & 0xFFFF);
    putWord(bytes, at + 2, value >> 16);
}

void putBytes(std::vector<uint8_t>& bytes, std::size_t at, const std::vector<uint8_t>& values) {
    std::copy(values.begin(), values.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

namespace {

// Resize and copy: inserting at the end trips a false bounds warning in g++ 12.
template <typename Bytes> void append(std::vector<uint8_t>& out, const Bytes& bytes) {
    std::size_t at = out.size();
    out.resize(at + bytes.size());
    if (!bytes.empty())
        std::memcpy(out.data() + at, bytes.data(), bytes.size());
}

void putText(std::vector<uint8_t>& bytes, std::size_t at, const std::string& text,
             std::size_t room) {
    std::memcpy(bytes.data() + at, text.data(), text.size() < room ? text.size() : room);
}

void putEnvelope(std::vector<uint8_t>& r, std::size_t at, const ItTestEnvelope& e) {
    putBytes(r, at,
             {e.flags, static_cast<uint8_t>(e.nodes.size()), e.loopStart, e.loopEnd, e.sustainStart,
              e.sustainEnd});
    for (std::size_t i = 0; i < e.nodes.size() && i < 25; ++i) {
        r[at + 6 + 3 * i] = static_cast<uint8_t>(e.nodes[i].second);
        putWord(r, at + 7 + 3 * i, e.nodes[i].first);
    }
}

} // namespace

std::vector<uint8_t> itInstrumentRecord(const std::string& name, uint8_t sample, bool old) {
    std::vector<uint8_t> r(old ? 554 : 550, 0);
    putText(r, 0, "IMPI", 4);
    putText(r, 4, "INSTR.ITI", 12);
    putText(r, 0x20, name, 26);
    for (uint32_t n = 0; n < 120; ++n) {
        r[0x40 + 2 * n] = static_cast<uint8_t>(n);
        r[0x41 + 2 * n] = sample;
    }
    if (old) {
        r[0x1F8] = 0xFF; // no envelope nodes
        return r;
    }
    putBytes(r, 0x17, {60, 128, 32 | 0x80}); // pitch-pan centre, global volume, pan
    return r;
}

ItFileBuilder::ItFileBuilder() {
    std::memset(channelPan, 32, sizeof channelPan);
    std::memset(channelVolume, 64, sizeof channelVolume);
}

std::vector<uint8_t> ItFileBuilder::build() const {
    std::vector<uint8_t> f(192, 0);
    putText(f, 0, "IMPM", 4);
    putText(f, 4, title, 26);
    const auto sampleCount = static_cast<uint32_t>(samples.size());
    const auto instrumentCount = static_cast<uint32_t>(instruments.size());
    putWord(f, 0x20, static_cast<uint32_t>(orders.size()));
    putWord(f, 0x22, instrumentCount);
    putWord(f, 0x24, sampleCount);
    putWord(f, 0x26, static_cast<uint32_t>(patterns.size()));
    putWord(f, 0x28, createdWith);
    putWord(f, 0x2A, compatibleWith);
    putWord(f, 0x2C, flags);
    putWord(f, 0x2E, message.empty() ? 0 : 1);
    putBytes(f, 0x30, {globalVolume, mixVolume, speed, tempo, panSeparation});
    std::memcpy(f.data() + 0x40, channelPan, 64);
    std::memcpy(f.data() + 0x80, channelVolume, 64);

    append(f, orders);
    std::size_t instrumentTable = f.size();
    f.resize(f.size() + 4 * instrumentCount);
    std::size_t sampleTable = f.size();
    f.resize(f.size() + 4 * sampleCount);
    std::size_t patternTable = f.size();
    f.resize(f.size() + 4 * patterns.size());

    if (!message.empty()) {
        putWord(f, 0x36, static_cast<uint32_t>(message.size()));
        putLong(f, 0x38, static_cast<uint32_t>(f.size()));
        append(f, message);
    }
    for (std::size_t i = 0; i < instrumentCount; ++i) {
        putLong(f, instrumentTable + 4 * i, static_cast<uint32_t>(f.size()));
        append(f, instruments[i]);
    }
    std::vector<std::size_t> headers;
    for (std::size_t i = 0; i < sampleCount; ++i) {
        const ItTestSample& s = samples[i];
        putLong(f, sampleTable + 4 * i, static_cast<uint32_t>(f.size()));
        headers.push_back(f.size());
        std::size_t h = f.size();
        f.resize(h + 80, 0);
        putText(f, h, "IMPS", 4);
        putText(f, h + 4, "SAMPLE.WAV", 12);
        putBytes(f, h + 0x11, {s.globalVolume, s.flags, s.volume});
        putText(f, h + 0x14, s.name, 26);
        putBytes(f, h + 0x2E, {s.convert, s.defaultPan});
        const uint32_t longs[] = {s.frames, s.loopStart,    s.loopEnd,
                                  s.rate,   s.sustainStart, s.sustainEnd};
        for (std::size_t k = 0; k < 6; ++k)
            putLong(f, h + 0x30 + 4 * k, longs[k]);
        std::memcpy(f.data() + h + 0x4C, s.vibrato, 4);
    }
    for (std::size_t i = 0; i < patterns.size(); ++i) {
        const ItTestPattern& p = patterns[i];
        if (p.absent)
            continue;
        putLong(f, patternTable + 4 * i, static_cast<uint32_t>(f.size()));
        std::size_t h = f.size();
        f.resize(h + 8, 0);
        putWord(f, h, static_cast<uint32_t>(p.packed.size()));
        putWord(f, h + 2, p.rows);
        append(f, p.packed);
    }
    for (std::size_t i = 0; i < headers.size(); ++i) {
        putLong(f, headers[i] + 0x48, static_cast<uint32_t>(f.size()));
        append(f, samples[i].data);
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
    for (const auto& [note, target] : noteMap) {
        r[0x40 + 2 * note] = target.first;
        r[0x41 + 2 * note] = target.second;
    }
    putEnvelope(r, 0x130, volume);
    putEnvelope(r, 0x182, pan);
    putEnvelope(r, 0x1D4, pitch);
    return r;
}

ItTestPattern itPattern(const std::vector<ItPlacedCell>& cells, uint16_t rows) {
    ItTestPattern p;
    p.rows = rows;
    for (uint32_t row = 0; row < rows; ++row) {
        for (const ItPlacedCell& at : cells) {
            const ItTestCell& c = at.cell;
            if (at.row != row)
                continue;
            p.packed.push_back(static_cast<uint8_t>(0x80 | (at.channel + 1)));
            p.packed.push_back(
                static_cast<uint8_t>((c.note >= 0 ? 0x01 : 0) | (c.instrument >= 0 ? 0x02 : 0) |
                                     (c.volume >= 0 ? 0x04 : 0) | (c.effect ? 0x08 : 0)));
            for (int value : {c.note, c.instrument, c.volume})
                if (value >= 0)
                    p.packed.push_back(static_cast<uint8_t>(value));
            if (c.effect) {
                p.packed.push_back(static_cast<uint8_t>(c.effect - 'A' + 1));
                p.packed.push_back(static_cast<uint8_t>(c.param));
            }
        }
        p.packed.push_back(0);
    }
    return p;
}

ItTestSample rampSample(uint32_t frames, bool looped) {
    ItTestSample s;
    s.flags = looped ? 0x11 : 0x01;
    s.frames = frames;
    s.loopEnd = looped ? frames : 0;
    for (uint32_t i = 0; i < frames; ++i)
        s.data.push_back(static_cast<uint8_t>(i * 7));
    return s;
}

void BitWriter::put(uint32_t value, uint32_t count) {
    for (uint32_t i = 0; i < count; ++i) {
        if (used_ == 8) {
            bytes_.push_back(0);
            used_ = 0;
        }
        bytes_.back() |= static_cast<uint8_t>(((value >> i) & 1) << used_);
        ++used_;
    }
}

std::vector<uint8_t> encodeItSample(const std::vector<int32_t>& values, bool sixteenBit,
                                    bool doubleDelta) {
    const std::size_t perBlock = sixteenBit ? 0x4000 : 0x8000;
    const uint32_t mask = sixteenBit ? 0xFFFF : 0xFF;
    std::vector<uint8_t> file;
    for (std::size_t start = 0; start < values.size(); start += perBlock) {
        BitWriter out;
        int32_t previous = 0;
        int32_t previousDelta = 0;
        for (std::size_t i = start; i < values.size() && i < start + perBlock; ++i) {
            const int32_t delta = values[i] - previous;
            previous = values[i];
            // The top bit of a top-width code stays clear: the decoder wraps at the sample width.
            out.put(static_cast<uint32_t>(doubleDelta ? delta - previousDelta : delta) & mask,
                    sixteenBit ? 17 : 9);
            previousDelta = delta;
        }
        const std::vector<uint8_t> block = out.finish();
        file.push_back(static_cast<uint8_t>(block.size()));
        file.push_back(static_cast<uint8_t>(block.size() >> 8));
        file.insert(file.end(), block.begin(), block.end());
    }
    return file;
}

} // namespace tolva::test
