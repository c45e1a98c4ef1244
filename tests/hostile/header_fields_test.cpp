// Counts, sizes and offsets in the headers of real files set to zero, to the largest value
// their field holds and to just past the end of the file: each copy is refused or loads, scans
// and plays, with no fault and no allocation beyond what the file could hold.
#include "support/Corpus.h"
#include "support/HostileLoad.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace tolva::test {
namespace {

struct Field {
    std::size_t offset;
    uint32_t width;         // bytes: 1, 2 or 4
    uint32_t unit = 1;      // bytes the field counts in (16 for paragraph pointers)
    bool bigEndian = false; // MOD sample words
};

class FieldMap {
public:
    explicit FieldMap(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    uint32_t get(std::size_t offset, uint32_t width) const {
        uint32_t value = 0;
        for (uint32_t i = 0; i < width && offset + i < bytes_.size(); ++i)
            value |= uint32_t{bytes_[offset + i]} << (8 * i);
        return value;
    }
    void add(std::size_t offset, uint32_t width, uint32_t unit = 1) {
        if (offset + width <= bytes_.size())
            fields.push_back({offset, width, unit});
    }
    void addWord(std::size_t offset) { // big-endian count of 16-bit words
        if (offset + 2 <= bytes_.size())
            fields.push_back({offset, 2, 2, true});
    }
    // The first three entries and the last of a table.
    void addTable(std::size_t start, uint32_t count, uint32_t width, uint32_t unit = 1) {
        for (uint32_t i = 0; i < count; ++i)
            if (i < 3 || i + 1 == count)
                add(start + std::size_t{i} * width, width, unit);
    }

    std::vector<Field> fields;

private:
    const std::vector<uint8_t>& bytes_;
};

void modFields(FieldMap& m) {
    for (uint32_t i : {0u, 1u, 2u, 30u}) {
        const std::size_t header = 20 + 30 * i;
        m.addWord(header + 22);
        m.add(header + 24, 1);
        m.add(header + 25, 1);
        m.addWord(header + 26);
        m.addWord(header + 28);
    }
    m.add(950, 1);
    m.add(951, 1);
    m.add(952, 1, 1024);
    m.add(952 + std::max<uint32_t>(m.get(950, 1), 1) - 1, 1, 1024);
}

void s3mFields(FieldMap& m) {
    for (std::size_t offset : {0x20, 0x22, 0x24, 0x26, 0x28, 0x2A})
        m.add(offset, 2);
    for (std::size_t offset : {0x30, 0x31, 0x32, 0x33, 0x35, 0x40, 0x5F})
        m.add(offset, 1);
    const uint32_t orders = m.get(0x20, 2), samples = m.get(0x22, 2), patterns = m.get(0x24, 2);
    const std::size_t samplePointers = 0x60 + orders;
    const std::size_t patternPointers = samplePointers + 2 * samples;
    m.addTable(samplePointers, samples, 2, 16);
    m.addTable(patternPointers, patterns, 2, 16);
    for (uint32_t i = 0; i < std::min<uint32_t>(samples, 3); ++i) {
        const std::size_t at = std::size_t{m.get(samplePointers + 2 * i, 2)} * 16;
        m.add(at, 1);
        m.add(at + 0x0D, 1);
        m.add(at + 0x0E, 2, 16);
        for (std::size_t offset : {0x10, 0x14, 0x18, 0x20})
            m.add(at + offset, 4);
        for (std::size_t offset : {0x1C, 0x1E, 0x1F})
            m.add(at + offset, 1);
    }
    for (uint32_t i = 0; i < std::min<uint32_t>(patterns, 2); ++i)
        m.add(std::size_t{m.get(patternPointers + 2 * i, 2)} * 16, 2);
}

void itFields(FieldMap& m) {
    for (std::size_t offset : {0x20, 0x22, 0x24, 0x26, 0x28, 0x2A, 0x2C, 0x2E, 0x36})
        m.add(offset, 2);
    for (std::size_t offset : {0x30, 0x31, 0x32, 0x33, 0x40})
        m.add(offset, 1);
    m.add(0x38, 4);
    const uint32_t orders = m.get(0x20, 2), instruments = m.get(0x22, 2);
    const uint32_t samples = m.get(0x24, 2), patterns = m.get(0x26, 2);
    const std::size_t instrumentTable = 0xC0 + orders;
    const std::size_t sampleTable = instrumentTable + 4 * std::size_t{instruments};
    const std::size_t patternTable = sampleTable + 4 * std::size_t{samples};
    m.addTable(instrumentTable, instruments, 4);
    m.addTable(sampleTable, samples, 4);
    m.addTable(patternTable, patterns, 4);
    const bool newInstruments = m.get(0x2A, 2) >= 0x200;
    for (uint32_t i = 0; i < std::min<uint32_t>(instruments, 2); ++i) {
        const std::size_t at = m.get(instrumentTable + 4 * i, 4);
        m.add(at + 0x41, 1); // the sample of the first key
        if (newInstruments)
            for (std::size_t envelope : {0x130, 0x182, 0x1D4})
                for (std::size_t offset = 1; offset < 6; ++offset)
                    m.add(at + envelope + offset, 1);
        else
            for (std::size_t offset = 0x31; offset < 0x35; ++offset)
                m.add(at + offset, 1);
    }
    for (uint32_t i = 0; i < std::min<uint32_t>(samples, 3); ++i) {
        const std::size_t at = m.get(sampleTable + 4 * i, 4);
        m.add(at + 0x12, 1);
        m.add(at + 0x2E, 1);
        for (std::size_t offset = 0x30; offset <= 0x48; offset += 4)
            m.add(at + offset, 4);
    }
    for (uint32_t i = 0; i < std::min<uint32_t>(patterns, 2); ++i) {
        const std::size_t at = m.get(patternTable + 4 * i, 4);
        m.add(at, 2);
        m.add(at + 2, 2);
    }
}

void xmFields(FieldMap& m, std::size_t size) {
    m.add(60, 4);
    for (std::size_t offset = 64; offset <= 78; offset += 2)
        m.add(offset, 2);
    m.add(80, 1);
    const uint32_t patterns = m.get(70, 2), instruments = m.get(72, 2);
    std::size_t at = 60 + std::size_t{m.get(60, 4)};
    for (uint32_t i = 0; i < patterns && at < size; ++i) {
        if (i < 2 || i + 1 == patterns) {
            m.add(at, 4);
            m.add(at + 4, 1);
            m.add(at + 5, 2);
            m.add(at + 7, 2);
        }
        at += std::size_t{m.get(at, 4)} + m.get(at + 7, 2);
    }
    for (uint32_t i = 0; i < std::min<uint32_t>(instruments, 2) && at < size; ++i) {
        const uint32_t headerSize = m.get(at, 4);
        const uint32_t sampleCount = m.get(at + 27, 2);
        m.add(at, 4);
        m.add(at + 27, 2);
        if (sampleCount == 0) {
            at += headerSize;
            continue;
        }
        m.add(at + 29, 4);
        m.add(at + 33, 1); // the sample of the first key
        for (std::size_t offset = 225; offset <= 234; ++offset)
            m.add(at + offset, 1);
        const uint32_t sampleHeaderSize = m.get(at + 29, 4);
        std::size_t sample = at + headerSize;
        uint64_t data = 0;
        for (uint32_t s = 0; s < sampleCount && sample < size; ++s) {
            if (s < 2) {
                for (std::size_t offset : {0, 4, 8})
                    m.add(sample + offset, 4);
                for (std::size_t offset : {12, 13, 14, 16})
                    m.add(sample + offset, 1);
            }
            data += m.get(sample, 4);
            sample += sampleHeaderSize;
        }
        at = static_cast<std::size_t>(std::min<uint64_t>(sample + data, size));
    }
}

void mtmFields(FieldMap& m) {
    m.add(24, 2);
    m.add(28, 2);
    for (std::size_t offset : {26, 27, 30, 31, 32, 33})
        m.add(offset, 1);
    for (uint32_t i = 0; i < std::min<uint32_t>(m.get(30, 1), 2); ++i) {
        const std::size_t at = 66 + 37 * std::size_t{i};
        for (std::size_t offset : {22, 26, 30})
            m.add(at + offset, 4);
        m.add(at + 34, 1);
        m.add(at + 35, 1);
        m.add(at + 36, 1);
    }
}

void fields669(FieldMap& m) {
    for (std::size_t offset : {110, 111, 112, 113, 241, 369})
        m.add(offset, 1);
    for (uint32_t i = 0; i < std::min<uint32_t>(m.get(110, 1), 2); ++i)
        for (std::size_t offset : {13, 17, 21})
            m.add(497 + 25 * std::size_t{i} + offset, 4);
}

std::vector<Field> fieldsOf(const std::vector<uint8_t>& bytes, const std::string& format) {
    FieldMap m(bytes);
    if (format == "mod")
        modFields(m);
    else if (format == "s3m")
        s3mFields(m);
    else if (format == "it")
        itFields(m);
    else if (format == "xm")
        xmFields(m, bytes.size());
    else if (format == "mtm")
        mtmFields(m);
    else
        fields669(m);
    return m.fields;
}

void put(std::vector<uint8_t>& bytes, const Field& f, uint64_t value) {
    const uint64_t max = f.width == 4 ? 0xFFFFFFFFu : (uint64_t{1} << (8 * f.width)) - 1;
    value = std::min(value, max);
    for (uint32_t i = 0; i < f.width; ++i) {
        const uint32_t shift = 8 * (f.bigEndian ? f.width - 1 - i : i);
        bytes[f.offset + i] = static_cast<uint8_t>(value >> shift);
    }
}

void damageEveryField(const std::string& path, const std::string& format) {
    SCOPED_TRACE(path);
    const std::vector<uint8_t> original = readWholeFile(path);
    const std::vector<Field> fields = fieldsOf(original, format);
    ASSERT_FALSE(fields.empty());
    for (const Field& f : fields) {
        SCOPED_TRACE(testing::Message() << "field at " << f.offset);
        const uint64_t pastTheEnd = original.size() / f.unit + 1;
        for (uint64_t value : {uint64_t{0}, uint64_t{0xFFFFFFFF}, pastTheEnd}) {
            std::vector<uint8_t> bytes = original;
            put(bytes, f, value);
            loadScanAndPlay(bytes);
        }
    }
}

struct Sample {
    const char* format;
    std::size_t featureFiles; // the smallest of features/<format>
    std::size_t songs;        // the smallest songs of the format
};

class HeaderFields : public testing::TestWithParam<Sample> {};

TEST_P(HeaderFields, DamagedCountsAndOffsetsAreRefusedOrPlay) {
    const Sample& s = GetParam();
    const std::vector<std::string> files =
        smallestCorpusFiles(std::string("features/") + s.format, s.format, 40);
    std::vector<std::string> picked;
    // Files that play as they are, so that each damage is what makes the difference.
    for (const std::string& path : files)
        if (picked.size() < s.featureFiles && loadScanAndPlay(readWholeFile(path)))
            picked.push_back(path);
    for (const std::string& path : smallestCorpusFiles("songs", s.format, s.songs))
        if (loadScanAndPlay(readWholeFile(path)))
            picked.push_back(path);
    if (picked.empty())
        GTEST_SKIP() << "no " << s.format << " file loads";
    for (const std::string& path : picked)
        damageEveryField(path, s.format);
}

INSTANTIATE_TEST_SUITE_P(Formats, HeaderFields,
                         testing::Values(Sample{"mod", 3, 1}, Sample{"s3m", 3, 1},
                                         Sample{"it", 4, 1}, Sample{"xm", 4, 1},
                                         Sample{"mtm", 3, 0}, Sample{"669", 3, 0}),
                         [](const testing::TestParamInfo<Sample>& info) {
                             return std::string(info.param.format);
                         });

} // namespace
} // namespace tolva::test
