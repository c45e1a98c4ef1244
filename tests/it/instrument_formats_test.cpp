#include "formats/it/ItInstrument.h"
#include "support/ItHarness.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace tolva::test {
namespace {

// Flags, node count, loop start and end, sustain start and end of the envelope at `at`.
void putEnvelope(std::vector<uint8_t>& r, std::size_t at, std::vector<uint8_t> head) {
    std::copy(head.begin(), head.end(), r.begin() + static_cast<std::ptrdiff_t>(at));
}

std::unique_ptr<ItLoaded> loadInstruments(std::vector<std::vector<uint8_t>> records,
                                          uint16_t compatibleWith = 0x0214) {
    ItFileBuilder b;
    b.flags = 0x05;
    b.compatibleWith = compatibleWith;
    b.instruments = std::move(records);
    return loadItBytes(b.build());
}

TEST(ItInstrumentFormats, NewLayoutRecordsComeBackByteForByte) {
    // Every byte carries a value of its own, so a field read from the wrong place shows.
    std::vector<uint8_t> r(550);
    for (std::size_t i = 0; i < r.size(); ++i)
        r[i] = static_cast<uint8_t>(i * 7 + 1);
    std::memcpy(r.data(), "IMPI", 4);
    r[0x10] = r[0x1F] = 0;                             // reserved bytes are not kept
    r[0x20 + 25] = 0;                                  // the name's 26th byte is its terminator
    r[0x130 + 81] = r[0x182 + 81] = r[0x1D4 + 81] = 0; // each envelope's reserved byte
    putEnvelope(r, 0x130, {0x07, 3, 1, 2, 0, 0});
    putEnvelope(r, 0x182, {0x0B, 2, 0, 1, 0, 0});
    putEnvelope(r, 0x1D4, {0x81, 2, 0, 0, 0, 0});
    auto it = loadInstruments({r});
    ASSERT_EQ(it->error, ItLoadError::None);
    const ItInstrument& in = it->module->instruments[0];
    EXPECT_TRUE(in.present);
    EXPECT_EQ(in.fadeOut, r[0x14] | r[0x15] << 8);
    EXPECT_EQ(in.noteMap[60].sample, r[0x41 + 120]);
    EXPECT_EQ(in.volumeEnvelope.nodes[24].tick, r[0x130 + 79] | r[0x130 + 80] << 8);
    uint8_t back[550];
    writeItInstrument(in, back);
    EXPECT_EQ(std::vector<uint8_t>(back, back + 550), r);
}

// Undefined flag bits go; loops and sustains running backwards are switched off.
TEST(ItInstrumentFormats, EnvelopeFlagsKeepWhatIsUsable) {
    const struct {
        std::vector<uint8_t> volume, pan, pitch;
        uint8_t flags[3];
    } cases[] = {
        {{0xF7, 3}, {0xFB, 3}, {0xF1, 3}, {0x07, 0x0B, 0x81}}, // the filter bit stays
        {{0x07, 6, 5, 3, 2, 2}, {0x07, 6, 1, 1, 4, 1}, {0x07, 6, 5, 3, 4, 1}, {0x05, 0x03, 0x01}},
    };
    for (const auto& c : cases) {
        std::vector<uint8_t> r = itInstrumentRecord("x", 1);
        putEnvelope(r, 0x130, c.volume);
        putEnvelope(r, 0x182, c.pan);
        putEnvelope(r, 0x1D4, c.pitch);
        auto it = loadInstruments({r});
        ASSERT_EQ(it->error, ItLoadError::None);
        const ItInstrument& in = it->module->instruments[0];
        EXPECT_EQ(in.volumeEnvelope.flags, c.flags[0]);
        EXPECT_EQ(in.panEnvelope.flags, c.flags[1]);
        EXPECT_EQ(in.pitchEnvelope.flags, c.flags[2]);
    }
}

TEST(ItInstrumentFormats, NamesTurnNulBytesIntoSpaces) {
    std::vector<uint8_t> r = itInstrumentRecord("a", 1);
    r[0x22] = 'b';
    r[0x20 + 25] = 'z'; // the 26th byte is never shown
    auto it = loadInstruments({r});
    EXPECT_EQ(std::string(it->module->instruments[0].name), "a b" + std::string(22, ' '));
}

TEST(ItInstrumentFormats, OldLayoutIsConvertedWithFixedDefaults) {
    std::vector<uint8_t> r = itInstrumentRecord("old one", 2, true);
    putEnvelope(r, 0x11, {0x07, 0, 1, 2, 2}); // loop nodes 0..1, sustain node 2
    putWord(r, 0x18, 40);
    r[0x1A] = ItNnaNoteOff;
    r[0x1B] = 1;
    putEnvelope(r, 0x1F8, {0, 64, 5, 30, 20, 0, 0xFF});
    // No usable nodes; and a loop ending past the two nodes.
    std::vector<uint8_t> none = itInstrumentRecord("a", 1, true);
    none[0x11] = 0x01;
    std::vector<uint8_t> loopPastEnd = itInstrumentRecord("b", 1, true);
    putEnvelope(loopPastEnd, 0x11, {0x07, 0, 4, 0, 1});
    putEnvelope(loopPastEnd, 0x1F8, {0, 0, 10, 0, 0xFF});
    auto it = loadInstruments({r, none, loopPastEnd}, 0x0100);
    ASSERT_EQ(it->error, ItLoadError::None);
    const ItInstrument& in = it->module->instruments[0];
    EXPECT_EQ(std::string(in.name), "old one" + std::string(18, ' '));
    EXPECT_EQ(
        (std::vector<int>{in.fadeOut, in.newNoteAction, in.duplicateCheckType,
                          in.duplicateCheckAction, in.pitchPanSeparation, in.pitchPanCentre,
                          in.globalVolume, in.defaultPan, in.randomVolume, in.panEnvelope.flags,
                          in.pitchEnvelope.flags, in.noteMap[10].sample}),
        (std::vector<int>{80, ItNnaNoteOff, ItDctNote, ItDcaCut, 0, 60, 128, 0x80 | 32, 0, 0, 0,
                          2}));
    const ItEnvelope& vol = in.volumeEnvelope;
    EXPECT_EQ((std::vector<int>{vol.flags, vol.nodeCount, vol.nodes[1].tick, vol.nodes[1].value,
                                vol.nodes[2].tick, vol.sustainStart}),
              (std::vector<int>{0x07, 3, 5, 30, 20, 2}));
    EXPECT_EQ(it->module->instruments[1].volumeEnvelope.flags, 0);
    EXPECT_EQ(it->module->instruments[2].volumeEnvelope.flags, 0x05);
    EXPECT_EQ(it->module->instruments[2].volumeEnvelope.nodeCount, 2);
}

// An old record may end one byte short at the end of the file, a new one not at all.
TEST(ItInstrumentFormats, DamagedRecordsRefuseTheFile) {
    for (bool old : {false, true}) {
        ItFileBuilder b;
        b.flags = 0x05;
        b.compatibleWith = old ? 0x0100 : 0x0214;
        b.patterns[0].absent = true;
        b.instruments = {itInstrumentRecord("last", 1, old)};
        std::vector<uint8_t> file = b.build();
        ASSERT_EQ(loadItBytes(file)->error, ItLoadError::None);
        file.pop_back();
        EXPECT_EQ(loadItBytes(file)->error, old ? ItLoadError::None : ItLoadError::Instrument);
        file.pop_back();
        EXPECT_EQ(loadItBytes(file)->error, ItLoadError::Instrument);
        b.instruments[0][old ? 0 : 3] = 'S';
        EXPECT_EQ(loadItBytes(b.build())->error, ItLoadError::Instrument) << old;
    }
}

} // namespace
} // namespace tolva::test
