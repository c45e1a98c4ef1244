#include "formats/it/ItInstrument.h"
#include "support/ItFileBuilder.h"
#include "support/ItLoad.h"

#include <cstring>
#include <gtest/gtest.h>
#include <string>

using namespace tolva;
using test::ItFileBuilder;
using test::loadItBytes;
using test::putWord;

namespace {

void putEnvelope(std::vector<uint8_t>& r, std::size_t at, uint8_t flags, uint8_t count,
                 uint8_t loopStart, uint8_t loopEnd, uint8_t susStart, uint8_t susEnd) {
    r[at] = flags;
    r[at + 1] = count;
    r[at + 2] = loopStart;
    r[at + 3] = loopEnd;
    r[at + 4] = susStart;
    r[at + 5] = susEnd;
}

std::unique_ptr<test::ItLoaded> loadInstruments(std::vector<std::vector<uint8_t>> records,
                                                uint16_t compatibleWith = 0x0214) {
    ItFileBuilder b;
    b.flags = 0x05;
    b.compatibleWith = compatibleWith;
    b.instruments = std::move(records);
    return loadItBytes(b.build());
}

} // namespace

TEST(ItInstrumentFormats, NewLayoutRecordsComeBackByteForByte) {
    // Every byte carries a value of its own, so a field read from the wrong place shows.
    std::vector<uint8_t> r(550);
    for (std::size_t i = 0; i < r.size(); ++i)
        r[i] = static_cast<uint8_t>(i * 7 + 1);
    std::memcpy(r.data(), "IMPI", 4);
    r[0x10] = r[0x1F] = 0;                             // reserved bytes are not kept
    r[0x20 + 25] = 0;                                  // the name's 26th byte is its terminator
    r[0x130 + 81] = r[0x182 + 81] = r[0x1D4 + 81] = 0; // each envelope's reserved byte
    putEnvelope(r, 0x130, 0x07, 3, 1, 2, 0, 0);
    putEnvelope(r, 0x182, 0x0B, 2, 0, 1, 0, 0);
    putEnvelope(r, 0x1D4, 0x81, 2, 0, 0, 0, 0);
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

TEST(ItInstrumentFormats, EnvelopeFlagsKeepOnlyTheirDefinedBits) {
    std::vector<uint8_t> r = test::itInstrumentRecord("x", 1);
    putEnvelope(r, 0x130, 0xF7, 3, 0, 0, 0, 0);
    putEnvelope(r, 0x182, 0xFB, 3, 0, 0, 0, 0);
    putEnvelope(r, 0x1D4, 0xF1, 3, 0, 0, 0, 0);
    auto it = loadInstruments({r});
    const ItInstrument& in = it->module->instruments[0];
    EXPECT_EQ(in.volumeEnvelope.flags, 0x07);
    EXPECT_EQ(in.panEnvelope.flags, 0x0B);
    EXPECT_EQ(in.pitchEnvelope.flags, 0x81); // the filter bit stays
}

TEST(ItInstrumentFormats, BackwardLoopsAndSustainsAreSwitchedOff) {
    std::vector<uint8_t> r = test::itInstrumentRecord("x", 1);
    putEnvelope(r, 0x130, 0x07, 6, 5, 3, 2, 2);
    putEnvelope(r, 0x182, 0x07, 6, 1, 1, 4, 1);
    putEnvelope(r, 0x1D4, 0x07, 6, 5, 3, 4, 1);
    auto it = loadInstruments({r});
    ASSERT_EQ(it->error, ItLoadError::None);
    const ItInstrument& in = it->module->instruments[0];
    EXPECT_EQ(in.volumeEnvelope.flags, 0x05);
    EXPECT_EQ(in.panEnvelope.flags, 0x03);
    EXPECT_EQ(in.pitchEnvelope.flags, 0x01);
}

TEST(ItInstrumentFormats, NamesTurnNulBytesIntoSpaces) {
    std::vector<uint8_t> r = test::itInstrumentRecord("", 1);
    for (int i = 0; i < 26; ++i)
        r[0x20 + i] = 0;
    r[0x20] = 'a';
    r[0x22] = 'b';
    r[0x20 + 25] = 'z'; // the 26th byte is never shown
    auto it = loadInstruments({r});
    EXPECT_EQ(std::string(it->module->instruments[0].name), "a b" + std::string(22, ' '));
}

TEST(ItInstrumentFormats, OldLayoutIsConvertedWithFixedDefaults) {
    std::vector<uint8_t> r = test::oldItInstrumentRecord("old one", 2);
    r[0x11] = 0x07;
    r[0x12] = 0; // loop nodes 0..1
    r[0x13] = 1;
    r[0x14] = 2; // sustain node 2
    r[0x15] = 2;
    putWord(r, 0x18, 40);
    r[0x1A] = ItNnaNoteOff;
    r[0x1B] = 1;
    const uint8_t nodes[] = {0, 64, 5, 30, 20, 0, 0xFF};
    for (std::size_t i = 0; i < sizeof nodes; ++i)
        r[0x1F8 + i] = nodes[i];
    auto it = loadInstruments({r}, 0x0100);
    ASSERT_EQ(it->error, ItLoadError::None);
    const ItInstrument& in = it->module->instruments[0];
    EXPECT_EQ(std::string(in.name), "old one" + std::string(18, ' '));
    EXPECT_EQ(in.fadeOut, 80);
    EXPECT_EQ(in.newNoteAction, ItNnaNoteOff);
    EXPECT_EQ(in.duplicateCheckType, ItDctNote);
    EXPECT_EQ(in.duplicateCheckAction, ItDcaCut);
    EXPECT_EQ(in.pitchPanSeparation, 0);
    EXPECT_EQ(in.pitchPanCentre, 60);
    EXPECT_EQ(in.globalVolume, 128);
    EXPECT_EQ(in.defaultPan, 0x80 | 32);
    EXPECT_EQ(in.randomVolume, 0);
    EXPECT_EQ(in.panEnvelope.flags, 0);
    EXPECT_EQ(in.pitchEnvelope.flags, 0);
    EXPECT_EQ(in.noteMap[10].sample, 2);
    const ItEnvelope& vol = in.volumeEnvelope;
    EXPECT_EQ(vol.flags, 0x07);
    ASSERT_EQ(vol.nodeCount, 3);
    EXPECT_EQ(vol.nodes[1].tick, 5);
    EXPECT_EQ(vol.nodes[1].value, 30);
    EXPECT_EQ(vol.nodes[2].tick, 20);
    EXPECT_EQ(vol.sustainStart, 2);
}

TEST(ItInstrumentFormats, OldEnvelopesWithoutUsableNodesAreSwitchedOff) {
    std::vector<uint8_t> none = test::oldItInstrumentRecord("a", 1);
    none[0x11] = 0x01;
    std::vector<uint8_t> loopPastEnd = test::oldItInstrumentRecord("b", 1);
    loopPastEnd[0x11] = 0x07;
    loopPastEnd[0x13] = 4; // loop end node beyond the 2 nodes
    loopPastEnd[0x15] = 1;
    loopPastEnd[0x1F8] = 0;
    loopPastEnd[0x1FA] = 10;
    loopPastEnd[0x1FC] = 0xFF;
    auto it = loadInstruments({none, loopPastEnd}, 0x0100);
    ASSERT_EQ(it->error, ItLoadError::None);
    EXPECT_EQ(it->module->instruments[0].volumeEnvelope.flags, 0);
    EXPECT_EQ(it->module->instruments[1].volumeEnvelope.flags, 0x05);
    EXPECT_EQ(it->module->instruments[1].volumeEnvelope.nodeCount, 2);
}

TEST(ItInstrumentFormats, AnOldRecordMayEndOneByteShortAtTheEndOfTheFile) {
    ItFileBuilder b;
    b.flags = 0x05;
    b.compatibleWith = 0x0100;
    b.patterns[0].absent = true;
    b.instruments = {test::oldItInstrumentRecord("last", 1)};
    std::vector<uint8_t> file = b.build();
    ASSERT_EQ(loadItBytes(file)->error, ItLoadError::None);
    file.pop_back();
    EXPECT_EQ(loadItBytes(file)->error, ItLoadError::None);
    file.pop_back();
    EXPECT_EQ(loadItBytes(file)->error, ItLoadError::Instrument);
}

TEST(ItInstrumentFormats, BadSignaturesAndShortRecordsRefuseTheFile) {
    std::vector<uint8_t> r = test::itInstrumentRecord("x", 1);
    r[3] = 'S';
    EXPECT_EQ(loadInstruments({r})->error, ItLoadError::Instrument);
    std::vector<uint8_t> old = test::oldItInstrumentRecord("x", 1);
    old[0] = 0;
    EXPECT_EQ(loadInstruments({old}, 0x0100)->error, ItLoadError::Instrument);

    ItFileBuilder b;
    b.patterns[0].absent = true;
    b.instruments = {test::itInstrumentRecord("x", 1)};
    std::vector<uint8_t> file = b.build();
    file.pop_back();
    EXPECT_EQ(loadItBytes(file)->error, ItLoadError::Instrument);
}
