#include "formats/it/ItPattern.h"
#include "support/ItHarness.h"

#include <gtest/gtest.h>
#include <vector>

namespace tolva::test {
namespace {

std::vector<uint8_t> stored(const std::vector<uint8_t>& packed, uint16_t rows = 64) {
    std::vector<uint8_t> p(8, 0);
    putWord(p, 0, static_cast<uint32_t>(packed.size()));
    putWord(p, 2, rows);
    p.insert(p.end(), packed.begin(), packed.end());
    return p;
}

struct Rows {
    ItPatternReader reader;
    ItCellValues memory[ItChannels];
    ItCell cells[ItChannels];
    std::vector<uint8_t> pattern;

    explicit Rows(std::vector<uint8_t> bytes) : pattern(std::move(bytes)) { reader.enter(pattern); }
    bool next() { return reader.readRow(cells, memory); }
    // Mask, note and instrument of channel k; with volume, command and parameter if announced.
    std::vector<int> cell(uint32_t k) const {
        const ItCellValues& v = cells[k].values;
        std::vector<int> fields = {cells[k].mask, v.note, v.instrument};
        if (cells[k].mask & 0x0C)
            fields.insert(fields.end(), {v.volume, v.command, v.param});
        return fields;
    }
};

TEST(ItPatternUnpacking, MasksAnnounceTheBytesThatFollowOrReuseTheLastOnes) {
    Rows r(stored({
        0x81, 0x0F, 60,  3,    40, 19, 0xD2, // row 0, channel 0: note, instrument, volume, S D2
        0x85, 0x01, 255,                     // channel 4: note off only
        0xC0, 0x08, 1,   0x20, 0,            // channel 63 (0x40 - 1): command A 20
        0x82, 0x03, 48,  2,    0,            // row 1, channel 1: note 48 instrument 2
        0x02, 50,   7,   0,                  // row 2: same mask, new bytes
        0x82, 0x30, 0,                       // row 3: last note and last instrument
        0x82, 0x11, 52,  0,                  // row 4: a note byte, and the last-note bit
        0,                                   // row 5: empty
    }));
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.cell(0), (std::vector<int>{0x0F, 60, 3, 40, 19, 0xD2}));
    EXPECT_EQ(r.cell(4)[0], 0x01);
    EXPECT_EQ(r.cells[4].values.note, ItNoteOff);
    EXPECT_EQ(r.cells[63].values.command, 1);
    EXPECT_EQ(r.cells[63].values.param, 0x20);
    for (uint32_t k : {1u, 2u, 3u, 5u, 62u})
        EXPECT_EQ(r.cells[k].mask, 0) << k;
    for (std::vector<int> expected :
         {std::vector<int>{0x03, 48, 2}, {0x03, 50, 7}, {0x30, 50, 7}}) {
        ASSERT_TRUE(r.next());
        EXPECT_EQ(r.cell(1), expected);
    }
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.cells[1].values.note, 52);
    EXPECT_TRUE(r.cells[1].hasNote() && !r.cells[1].hasInstrument());
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.cells[1].mask, 0);
    EXPECT_FALSE(r.next()); // the data has ended
}

TEST(ItPatternUnpacking, EnteringAPatternClearsMasksButNotValues) {
    Rows r(stored({0x81, 0x04, 33, 0}));
    r.next();
    const std::vector<uint8_t> second = stored({0x01, 0});
    r.reader.enter(second);
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.cells[0].mask, 0); // a cleared mask announces nothing
    EXPECT_EQ(r.memory[0].volume, 33);
}

TEST(ItPatternUnpacking, CellsCutShortStopAtTheEndOfTheData) {
    for (std::vector<uint8_t> packed :
         {std::vector<uint8_t>{0x81}, {0x81, 0x08, 1}, {0x81, 0x0F, 60, 1, 2}}) {
        Rows r(stored(packed));
        EXPECT_TRUE(r.next());
        EXPECT_EQ(r.cells[0].mask, 0);
        EXPECT_FALSE(r.next());
    }
    // A header claiming more packed bytes than were stored reads as an empty pattern.
    std::vector<uint8_t> lying = stored({0x81, 0x01, 60, 0});
    lying[0] = 200;
    EXPECT_FALSE(Rows(lying).next());
}

TEST(ItPatternStorage, OnlyOrderedPatternsAreKeptWithTheirHeader) {
    ItFileBuilder b;
    b.orders = {2, 254, 0, 255, 1, 200};
    b.patterns.assign(201, {});
    b.patterns[0] = {32, {0x81, 0x01, 60, 0}};
    b.patterns[1].packed = {1, 2, 3}; // after the end marker: never read
    b.patterns[2].absent = true;
    b.patterns[3].packed = {9};
    b.patterns[200].packed = {0x81, 0x01, 1, 0}; // past the 200th: plays as empty
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    const auto& patterns = it->song.patterns;
    EXPECT_EQ(patterns[0], stored({0x81, 0x01, 60, 0}, 32));
    EXPECT_EQ(itPatternRows(patterns[0]), 32u);
    EXPECT_EQ(itPackedLength(patterns[0]), 4u);
    EXPECT_TRUE(patterns[1].empty());
    EXPECT_TRUE(patterns[2].empty()); // ordered, but stored at offset 0
    EXPECT_EQ(itPatternRows(patterns[2]), 64u);
    EXPECT_TRUE(patterns[3].empty());
    EXPECT_TRUE(patterns[200].empty());
}

TEST(ItPatternStorage, OrderedPatternsOutsideTheFileAreRefused) {
    ItFileBuilder b;
    b.patterns = {{64, std::vector<uint8_t>(100, 0)}, {64, {}, true}};
    std::vector<uint8_t> file = b.build();
    // Pattern 1 is not in the order list: its offset is never followed.
    const std::size_t table = 0xC0 + b.orders.size();
    putLong(file, table + 4, 0x7FFFFFF0u);
    EXPECT_EQ(loadItBytes(file)->error, ItLoadError::None);
    file.pop_back(); // pattern 0's packed data now runs past the file
    EXPECT_EQ(loadItBytes(file)->error, ItLoadError::Pattern);
    putLong(file, table, 0x7FFFFFF0u);
    EXPECT_EQ(loadItBytes(file)->error, ItLoadError::Pattern);
}

} // namespace
} // namespace tolva::test
