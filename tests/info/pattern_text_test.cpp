// The pattern view's cell texts, from cells encoded by hand in each format's stored form.
#include "engine/Player.h"
#include "formats/PatternText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tolva {
namespace {

// The texts of a pattern of `rows` rows stored as `bytes`.
std::vector<std::string> texts(uint32_t format, const std::vector<uint8_t>& bytes, uint32_t rows,
                               uint32_t channels, const uint8_t* columnChannel = nullptr) {
    PatternDescription p;
    p.rows = rows;
    p.cells = bytes.empty() ? nullptr : bytes.data();
    p.size = static_cast<uint32_t>(bytes.size());
    std::vector<CellText> out(rows * channels);
    EXPECT_TRUE(writePatternText(format, p, channels, columnChannel, out.data()));
    std::vector<std::string> result;
    for (const CellText& c : out)
        result.emplace_back(c.text);
    return result;
}

void add(std::vector<uint8_t>& bytes, std::initializer_list<uint8_t> more) {
    for (uint8_t b : more)
        bytes.push_back(b);
}

TEST(PatternText, NoteNames) {
    char name[4];
    writeNoteName(0, name);
    EXPECT_STREQ(name, "C-0");
    writeNoteName(48, name);
    EXPECT_STREQ(name, "C-4");
    writeNoteName(61, name);
    EXPECT_STREQ(name, "C#5");
    writeNoteName(119, name);
    EXPECT_STREQ(name, "B-9");
    writeNoteName(120, name);
    EXPECT_STREQ(name, "---");
}

// MOD cells as the loader packs them: note | effect << 7 | sample << 11, parameter.
std::vector<uint8_t> modCell(uint32_t note, uint32_t effect, uint32_t sample, uint8_t param) {
    const uint32_t word = note | effect << 7 | sample << 11;
    return {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8), param};
}

TEST(PatternText, ModCellsWithEveryEffect) {
    std::vector<uint8_t> bytes;
    for (uint32_t effect = 0; effect < 16; ++effect) {
        auto cell = modCell(effect == 0 ? 0 : 13 + effect, effect, effect + 1, 0x5A);
        bytes.insert(bytes.end(), cell.begin(), cell.end());
    }
    auto empty = modCell(0, 0, 0, 0);
    bytes.insert(bytes.end(), empty.begin(), empty.end());
    auto t = texts(FormatMod, bytes, 1, 17);
    EXPECT_EQ(t[0], "... 01 05A"); // arpeggio with a parameter is an effect
    EXPECT_EQ(t[1], "C#1 02 15A"); // note 14: period index 13, the C# above 856
    EXPECT_EQ(t[12], "C-2 0D C5A");
    EXPECT_EQ(t[15], "D#2 10 F5A");
    EXPECT_EQ(t[16], "... .. ...");
    // The old 15-sample form shares the cells.
    EXPECT_EQ(texts(FormatMod15, bytes, 1, 17)[15], "D#2 10 F5A");
}

TEST(PatternText, ModGridHasOneRowPerPatternRowAndEmptyCellsPastTheData) {
    auto t = texts(FormatMod, modCell(25, 0, 0, 0), 2, 2);
    ASSERT_EQ(t.size(), 4u);
    EXPECT_EQ(t[0], "C-2 .. ...");
    EXPECT_EQ(t[1], "... .. ...");
    EXPECT_EQ(t[3], "... .. ...");
}

TEST(PatternText, MtmTrackCells) {
    // Track rows: note << 2 | sample >> 4, sample << 4 | effect, parameter.
    std::vector<uint8_t> track(64 * 3, 0);
    track[0] = 25 << 2 | 1; // note 25, sample 0x1F
    track[1] = 0xF0 | 0xA;
    track[2] = 0x0F;
    track[3] = 0;
    track[4] = 0x0E;
    track[5] = 0xD3;
    PatternDescription p;
    p.rows = 64;
    p.tracks[0] = track.data();
    std::vector<CellText> out(64 * 2);
    ASSERT_TRUE(writePatternText(FormatMtm, p, 2, nullptr, out.data()));
    EXPECT_STREQ(out[0].text, "C#2 1F A0F");
    EXPECT_STREQ(out[1].text, "... .. ..."); // no track in the second channel
    EXPECT_STREQ(out[2].text, "... .. ED3");
}

TEST(PatternText, Composer669Cells) {
    std::vector<uint8_t> bytes(8 * 3 * 2, 0xFF);
    // Row 0: note 36 sample 5 volume 9, effect 2 value 4; a volume-only cell; an effect only.
    bytes[0] = 36 << 2 | 5 >> 4;
    bytes[1] = (5 << 4 & 0xF0) | 9;
    bytes[2] = 0x24;
    bytes[3] = 0xFE;
    bytes[4] = 0x07;
    bytes[5] = 0xFF;
    bytes[8] = 0x5F;
    auto t = texts(Format669, bytes, 2, 8);
    EXPECT_EQ(t[0], "C-3 05 9 24");
    EXPECT_EQ(t[1], "... .. 7 ..");
    EXPECT_EQ(t[2], "... .. . 5F");
    EXPECT_EQ(t[8], "... .. . ..");
}

TEST(PatternText, S3mCellsWithEveryCommand) {
    std::vector<uint8_t> bytes;
    // Row 0: channel 0 note C-5 sample 12 volume 64 command A; channel 2 note cut; channel 3
    // volume only; channel 4 command without a note.
    add(bytes, {0x20 | 0x40 | 0x80 | 0, 0x50, 12, 64, 1, 0x06});
    add(bytes, {0x20 | 2, 254, 0});
    add(bytes, {0x40 | 3, 7});
    add(bytes, {0x80 | 4, 26, 0x80});
    bytes.push_back(0);
    // Row 1: every command A..Z on channel 1 would need 26 rows; one per row below.
    for (uint8_t command = 1; command <= 26; ++command)
        add(bytes, {0x80 | 1, command, command, 0});
    auto t = texts(FormatS3m, bytes, 27, 5);
    EXPECT_EQ(t[0], "C-5 12 64 A06");
    EXPECT_EQ(t[1], "... .. .. .00");
    EXPECT_EQ(t[2], "^^^ .. .. .00");
    EXPECT_EQ(t[3], "... .. 07 .00");
    EXPECT_EQ(t[4], "... .. .. Z80");
    for (uint32_t command = 1; command <= 26; ++command) {
        char expected[16];
        std::snprintf(expected, sizeof expected, "... .. .. %c%02X", 'A' + command - 1, command);
        EXPECT_EQ(t[command * 5 + 1], expected);
    }
}

TEST(PatternText, S3mColumnsShowTheStoredChannelsThatPlay) {
    std::vector<uint8_t> bytes = {0x20 | 5, 0x31, 1, 0};
    const uint8_t columns[2] = {0, 5};
    auto t = texts(FormatS3m, bytes, 1, 2, columns);
    EXPECT_EQ(t[0], "... .. .. .00");
    EXPECT_EQ(t[1], "C#3 01 .. .00");
}

TEST(PatternText, XmPackedAndFullCells) {
    std::vector<uint8_t> bytes(9, 0);      // the pattern header kept in front of the cells
    add(bytes, {49, 3, 0x50, 0x0F, 0x06}); // full cell: C-4, volume 64
    add(bytes, {0x80 | 0x01, 97});         // key off
    add(bytes, {0x80 | 0x04, 0x10});       // volume 0x10 shows nothing
    add(bytes, {0x80});                    // empty
    add(bytes, {0x80 | 0x04 | 0x08 | 0x10, 0x6A, 35, 0x12});
    const char* const letters = "-+dusvp<>m";
    for (uint32_t high = 6; high < 16; ++high)
        add(bytes, {0x80 | 0x04, static_cast<uint8_t>(high << 4 | 3)});
    for (uint8_t effect = 0; effect < 36; ++effect)
        add(bytes, {0x80 | 0x08 | 0x10, effect, 0x40});
    auto t = texts(FormatXm, bytes, 51, 1);
    EXPECT_EQ(t[0], "C-4 03 40 F06");
    EXPECT_EQ(t[1], "=== .. .. ...");
    EXPECT_EQ(t[2], "... .. .. ...");
    EXPECT_EQ(t[3], "... .. .. ...");
    EXPECT_EQ(t[4], "... .. -A Z12");
    for (uint32_t high = 6; high < 16; ++high)
        EXPECT_EQ(t[high - 1], std::string("... .. ") + letters[high - 6] + "3 ...");
    for (uint32_t effect = 0; effect < 36; ++effect) {
        char expected[16];
        std::snprintf(expected, sizeof expected, "... .. .. %c40",
                      effect < 10 ? '0' + effect : 'A' + effect - 10);
        EXPECT_EQ(t[15 + effect], expected) << effect;
    }
}

TEST(PatternText, ItCellsVolumeColumnAndRepeatedValues) {
    std::vector<uint8_t> bytes;
    // Row 0, channel 1: note C-5, sample 7, volume 64, command A 03, with a new mask.
    add(bytes, {0x80 | 1, 0x0F, 60, 7, 64, 1, 0x03, 0});
    // Row 1: channel 1 repeats the row's mask (all values read again): note off, pan 32.
    add(bytes, {1, 255, 7, 160, 0, 0x10, 0});
    // Row 2: mask of last values only: the values of row 1 come back.
    add(bytes, {0x80 | 1, 0xF0, 0});
    // Rows 3..: note cut, fade, volume-column effects, every command.
    add(bytes, {0x80 | 1, 0x01, 254, 0});
    add(bytes, {0x80 | 1, 0x01, 130, 0});
    add(bytes, {0x80 | 1, 0x04, 65, 0});
    add(bytes, {0x80 | 1, 0x04, 124, 0});
    add(bytes, {0x80 | 1, 0x04, 193, 0});
    add(bytes, {0x80 | 1, 0x04, 212, 0});
    for (uint8_t command = 1; command <= 26; ++command)
        add(bytes, {0x80 | 1, 0x08, command, 0x7F, 0});
    auto t = texts(FormatIt, bytes, 35, 2);
    EXPECT_EQ(t[0], "C-5 07 64 A03");
    EXPECT_EQ(t[1], "... .. .. .00");
    EXPECT_EQ(t[2], "=== 07p32 .10"); // command 0: no letter, the parameter stays
    EXPECT_EQ(t[4], "=== 07p32 .10");
    EXPECT_EQ(t[6], "^^^ .. .. .00");
    EXPECT_EQ(t[8], "~~~ .. .. .00");
    EXPECT_EQ(t[10], "... .. A0 .00");
    EXPECT_EQ(t[12], "... .. F9 .00");
    EXPECT_EQ(t[14], "... .. G0 .00");
    EXPECT_EQ(t[16], "... .. H9 .00");
    for (uint32_t command = 1; command <= 26; ++command) {
        char expected[16];
        std::snprintf(expected, sizeof expected, "... .. .. %c7F", 'A' + command - 1);
        EXPECT_EQ(t[(8 + command) * 2], expected) << command;
    }
}

TEST(PatternText, UnknownFormatWritesNothing) {
    PatternDescription p;
    CellText cell;
    EXPECT_FALSE(writePatternText(99, p, 1, nullptr, &cell));
    EXPECT_STREQ(cell.text, "");
}

} // namespace
} // namespace tolva
