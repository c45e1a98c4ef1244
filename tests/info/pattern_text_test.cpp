// The pattern view's cell texts, from cells encoded by hand in each format's stored form.
#include "formats/it/ItPlayer.h"
#include "formats/mod/ModPlayer.h"
#include "formats/mtm669/MtmPlayer.h"
#include "formats/mtm669/Player669.h"
#include "formats/s3m/S3mPlayer.h"
#include "formats/xm/XmPlayer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace tolva {
namespace {

using Writer = void (*)(const PatternDescription&, uint32_t, CellText*);

using Texts = std::vector<std::string>;

// The texts of a pattern of `rows` rows stored as `bytes` (for MTM, the first channel's track):
// of the cells at `picked` (row x channels + channel), or of all of them.
Texts texts(Writer write, const std::vector<uint8_t>& bytes, uint32_t rows, uint32_t channels,
            std::vector<std::size_t> picked = {}) {
    PatternDescription p;
    p.rows = rows;
    p.cells = bytes.empty() ? nullptr : bytes.data();
    p.size = static_cast<uint32_t>(bytes.size());
    p.tracks[0] = p.cells;
    std::vector<CellText> out(rows * channels);
    write(p, channels, out.data());
    if (picked.empty())
        for (std::size_t i = 0; i < out.size(); ++i)
            picked.push_back(i);
    Texts result;
    for (std::size_t i : picked)
        result.emplace_back(out.at(i).text);
    return result;
}

void add(std::vector<uint8_t>& bytes, std::initializer_list<uint8_t> more) {
    bytes.insert(bytes.end(), more);
}

TEST(PatternText, NoteNames) {
    const std::pair<uint32_t, const char*> cases[] = {
        {0, "C-0"}, {48, "C-4"}, {61, "C#5"}, {119, "B-9"}, {120, "---"}};
    for (const auto& [note, name] : cases) {
        char text[4];
        writeNoteName(note, text);
        EXPECT_STREQ(text, name);
    }
}

// MOD cells as the loader packs them: note | effect << 7 | sample << 11, parameter.
void addModCell(std::vector<uint8_t>& bytes, uint32_t note, uint32_t effect, uint32_t sample,
                uint8_t param) {
    const uint32_t word = note | effect << 7 | sample << 11;
    add(bytes, {static_cast<uint8_t>(word), static_cast<uint8_t>(word >> 8), param});
}

TEST(PatternText, ModCellsWithEveryEffectAndEmptyCellsPastTheData) {
    std::vector<uint8_t> bytes;
    for (uint32_t effect = 0; effect < 16; ++effect)
        addModCell(bytes, effect == 0 ? 0 : 13 + effect, effect, effect + 1, 0x5A);
    addModCell(bytes, 25, 0, 0, 0);
    addModCell(bytes, 0, 0, 0, 0);
    // An arpeggio with a parameter is an effect; note 14 is period index 13, the C# above 856.
    EXPECT_EQ(texts(writeModPatternText, bytes, 2, 17, {0, 1, 12, 15, 16, 17, 33}),
              (Texts{"... 01 05A", "C#1 02 15A", "C-2 0D C5A", "D#2 10 F5A", "C-2 .. ...",
                     "... .. ...", "... .. ..."}));
}

TEST(PatternText, MtmTrackCells) {
    // Track rows: note << 2 | sample >> 4, sample << 4 | effect, parameter.
    std::vector<uint8_t> track = {25 << 2 | 1, 0xF0 | 0xA, 0x0F, 0, 0x0E, 0xD3};
    track.resize(64 * 3);
    // The second channel has no track.
    EXPECT_EQ(texts(writeMtmPatternText, track, 64, 2, {0, 1, 2}),
              (Texts{"C#2 1F A0F", "... .. ...", "... .. ED3"}));
}

TEST(PatternText, Composer669Cells) {
    // Row 0: note 36 sample 5 volume 9, effect 2 value 4; a volume-only cell; an effect only.
    std::vector<uint8_t> bytes(8 * 3 * 2, 0xFF);
    const uint8_t cells[] = {
        36 << 2 | 5 >> 4, (5 << 4 & 0xF0) | 9, 0x24, 0xFE, 0x07, 0xFF, 0xFF, 0xFF, 0x5F};
    std::copy(std::begin(cells), std::end(cells), bytes.begin());
    EXPECT_EQ(texts(write669PatternText, bytes, 2, 8, {0, 1, 2, 8}),
              (Texts{"C-3 05 9 24", "... .. 7 ..", "... .. . 5F", "... .. . .."}));
}

TEST(PatternText, S3mCellsAndTheColumnsThatPlay) {
    // Channel 0: C-5, sample 12, volume 64, command A; 2: note cut; 3: volume only; 4: Z alone.
    std::vector<uint8_t> bytes;
    add(bytes, {0x20 | 0x40 | 0x80 | 0, 0x50, 12, 64, 1, 0x06});
    add(bytes, {0x20 | 2, 254, 0, 0x40 | 3, 7, 0x80 | 4, 26, 0x80, 0});
    auto t = texts([](auto& p, uint32_t c, CellText* out) { writeS3mPatternText(p, c, out); },
                   bytes, 1, 5);
    EXPECT_EQ(t, (Texts{"C-5 12 64 A06", "... .. .. .00", "^^^ .. .. .00", "... .. 07 .00",
                        "... .. .. Z80"}));

    t = texts(
        [](auto& p, uint32_t c, CellText* out) {
            const uint8_t columns[2] = {0, 5};
            writeS3mPatternText(p, c, out, columns);
        },
        {0x20 | 5, 0x31, 1, 0}, 1, 2);
    EXPECT_EQ(t, (Texts{"... .. .. .00", "C#3 01 .. .00"}));
}

TEST(PatternText, XmPackedAndFullCells) {
    std::vector<uint8_t> bytes(9, 0);      // the pattern header kept in front of the cells
    add(bytes, {49, 3, 0x50, 0x0F, 0x06}); // full cell: C-4, volume 64
    add(bytes, {0x80 | 0x01, 97});         // key off
    add(bytes, {0x80 | 0x04, 0x10});       // volume 0x10 shows nothing
    add(bytes, {0x80});                    // empty
    add(bytes, {0x80 | 0x04 | 0x08 | 0x10, 0x6A, 35, 0x12});
    for (uint32_t high = 6; high < 16; ++high)
        add(bytes, {0x80 | 0x04, static_cast<uint8_t>(high << 4 | 3)});
    for (uint8_t effect : {0, 9, 10})
        add(bytes, {0x80 | 0x08 | 0x10, effect, 0x40});
    Texts want = {"C-4 03 40 F06", "=== .. .. ...", "... .. .. ...", "... .. .. ...",
                  "... .. -A Z12"};
    for (uint32_t high = 6; high < 16; ++high)
        want.push_back(std::string("... .. ") + "-+dusvp<>m"[high - 6] + "3 ...");
    want.insert(want.end(), {"... .. .. 040", "... .. .. 940", "... .. .. A40"});
    EXPECT_EQ(texts(writeXmPatternText, bytes, 18, 1), want);
}

TEST(PatternText, ItCellsVolumeColumnAndRepeatedValues) {
    std::vector<uint8_t> bytes;
    // Row 0, channel 1: note C-5, sample 7, volume 64, command A 03, with a new mask.
    add(bytes, {0x80 | 1, 0x0F, 60, 7, 64, 1, 0x03, 0});
    // Row 1: channel 1 repeats the row's mask (all values read again): note off, pan 32.
    add(bytes, {1, 255, 7, 160, 0, 0x10, 0});
    // Row 2: mask of last values only: the values of row 1 come back.
    add(bytes, {0x80 | 1, 0xF0, 0});
    // Rows 3..: note cut, fade, volume-column effects, command Z.
    for (uint8_t volume : {65, 124, 193, 212})
        add(bytes, {0x80 | 1, 0x04, volume, 0});
    add(bytes, {0x80 | 1, 0x01, 254, 0, 0x80 | 1, 0x01, 130, 0, 0x80 | 1, 0x08, 26, 0x7F, 0});
    // Command 0 shows no letter; its parameter stays.
    EXPECT_EQ(texts(writeItPatternText, bytes, 10, 2, {0, 1, 2, 4, 6, 8, 10, 12, 14, 16, 18}),
              (Texts{"C-5 07 64 A03", "... .. .. .00", "=== 07p32 .10", "=== 07p32 .10",
                     "... .. A0 .00", "... .. F9 .00", "... .. G0 .00", "... .. H9 .00",
                     "^^^ .. .. .00", "~~~ .. .. .00", "... .. .. Z7F"}));
}

} // namespace
} // namespace tolva
