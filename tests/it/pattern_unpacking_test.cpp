#include "formats/it/ItPattern.h"
#include "support/ItFileBuilder.h"
#include "support/ItLoad.h"

#include <gtest/gtest.h>
#include <vector>

using namespace tolva;
using test::ItFileBuilder;
using test::loadItBytes;

namespace {

std::vector<uint8_t> stored(const std::vector<uint8_t>& packed, uint16_t rows = 64) {
    std::vector<uint8_t> p(8 + packed.size(), 0);
    p[0] = static_cast<uint8_t>(packed.size());
    p[1] = static_cast<uint8_t>(packed.size() >> 8);
    p[2] = static_cast<uint8_t>(rows);
    for (std::size_t i = 0; i < packed.size(); ++i)
        p[8 + i] = packed[i];
    return p;
}

struct Rows {
    ItPatternReader reader;
    ItCellValues memory[ItChannels];
    ItCell cells[ItChannels];
    std::vector<uint8_t> pattern;

    explicit Rows(std::vector<uint8_t> bytes) : pattern(std::move(bytes)) { reader.enter(pattern); }
    bool next() { return reader.readRow(cells, memory); }
};

} // namespace

TEST(ItPatternUnpacking, MasksAnnounceTheBytesThatFollow) {
    Rows r(stored({
        0x81,
        0x0F,
        60,
        3,
        40,
        19,
        0xD2, // channel 0: note, instrument, volume, S D2
        0x85,
        0x01,
        255, // channel 4: note off only
        0xC0,
        0x08,
        1,
        0x20, // channel 63 (0x40 - 1): command A 20
        0,
    }));
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.cells[0].mask, 0x0F);
    EXPECT_EQ(r.cells[0].values.note, 60);
    EXPECT_EQ(r.cells[0].values.instrument, 3);
    EXPECT_EQ(r.cells[0].values.volume, 40);
    EXPECT_EQ(r.cells[0].values.command, 19);
    EXPECT_EQ(r.cells[0].values.param, 0xD2);
    EXPECT_TRUE(r.cells[4].hasNote());
    EXPECT_FALSE(r.cells[4].hasInstrument());
    EXPECT_EQ(r.cells[4].values.note, ItNoteOff);
    EXPECT_TRUE(r.cells[63].hasCommand());
    EXPECT_EQ(r.cells[63].values.command, 1);
    EXPECT_EQ(r.cells[63].values.param, 0x20);
    for (uint32_t k : {1u, 2u, 3u, 5u, 62u})
        EXPECT_EQ(r.cells[k].mask, 0) << k;
}

TEST(ItPatternUnpacking, ChannelsReuseTheirMaskAndLastValues) {
    Rows r(stored({
        0x82, 0x03, 48, 2, 0, // row 0: channel 1 note 48 instrument 2
        0x02, 50, 7, 0,       // row 1: same mask, new bytes
        0x82, 0x30, 0,        // row 2: last note and last instrument
        0x82, 0x11, 52, 0,    // row 3: a note byte, and the last-note bit
        0,                    // row 4: empty
    }));
    ASSERT_TRUE(r.next());
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.cells[1].mask, 0x03);
    EXPECT_EQ(r.cells[1].values.note, 50);
    EXPECT_EQ(r.cells[1].values.instrument, 7);
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.cells[1].mask, 0x30);
    EXPECT_TRUE(r.cells[1].hasNote());
    EXPECT_EQ(r.cells[1].values.note, 50);
    EXPECT_EQ(r.cells[1].values.instrument, 7);
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.cells[1].values.note, 52);
    EXPECT_FALSE(r.cells[1].hasInstrument());
    ASSERT_TRUE(r.next());
    EXPECT_EQ(r.cells[1].mask, 0);
    EXPECT_FALSE(r.next()); // the data has ended
}

TEST(ItPatternUnpacking, EnteringAPatternClearsMasksButNotValues) {
    std::vector<uint8_t> first = stored({0x81, 0x04, 33, 0});
    std::vector<uint8_t> second = stored({0x01, 0});
    ItPatternReader reader;
    ItCellValues memory[ItChannels];
    ItCell cells[ItChannels];
    reader.enter(first);
    reader.readRow(cells, memory);
    reader.enter(second);
    ASSERT_TRUE(reader.readRow(cells, memory));
    EXPECT_EQ(cells[0].mask, 0); // a cleared mask announces nothing
    EXPECT_EQ(memory[0].volume, 33);
}

TEST(ItPatternUnpacking, CellsCutShortStopAtTheEndOfTheData) {
    for (std::vector<uint8_t> packed :
         {std::vector<uint8_t>{0x81}, std::vector<uint8_t>{0x81, 0x08, 1},
          std::vector<uint8_t>{0x81, 0x0F, 60, 1, 2}}) {
        Rows r(stored(packed));
        EXPECT_TRUE(r.next());
        EXPECT_EQ(r.cells[0].mask, 0);
        EXPECT_FALSE(r.next());
    }
    // A header claiming more packed bytes than were stored reads as an empty pattern.
    std::vector<uint8_t> lying = stored({0x81, 0x01, 60, 0});
    lying[0] = 200;
    Rows r(lying);
    EXPECT_FALSE(r.next());
}

TEST(ItPatternStorage, OnlyOrderedPatternsAreKeptWithTheirHeader) {
    ItFileBuilder b;
    b.orders = {2, 254, 0, 255, 1};
    b.patterns.assign(4, {});
    b.patterns[0] = {32, {0x81, 0x01, 60, 0}};
    b.patterns[1].packed = {1, 2, 3}; // after the end marker: never read
    b.patterns[2].absent = true;
    b.patterns[3].packed = {9};
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
}

TEST(ItPatternStorage, UnorderedPatternsAreNeverRead) {
    ItFileBuilder b;
    b.patterns.assign(2, {});
    std::vector<uint8_t> file = b.build();
    // Pattern 1's offset points far outside the file; it is not in the order list.
    std::size_t table = 0xC0 + b.orders.size();
    test::putLong(file, table + 4, 0x7FFFFFF0u);
    EXPECT_EQ(loadItBytes(file)->error, ItLoadError::None);
    test::putLong(file, table, 0x7FFFFFF0u);
    EXPECT_EQ(loadItBytes(file)->error, ItLoadError::Pattern);
}

TEST(ItPatternStorage, PackedDataRunningPastTheFileIsRefused) {
    ItFileBuilder b;
    b.patterns[0].packed.assign(100, 0);
    std::vector<uint8_t> file = b.build();
    file.resize(file.size() - 1);
    EXPECT_EQ(loadItBytes(file)->error, ItLoadError::Pattern);
}

TEST(ItPatternStorage, PatternsPastTheTwoHundredthPlayAsEmpty) {
    ItFileBuilder b;
    b.orders = {200, 0, 255};
    b.patterns.assign(201, {});
    b.patterns[200].packed = {0x81, 0x01, 1, 0};
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    EXPECT_TRUE(it->song.patterns[200].empty());
    EXPECT_FALSE(it->song.patterns[0].empty());
}
