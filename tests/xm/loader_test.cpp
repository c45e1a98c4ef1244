#include "formats/xm/XmLoader.h"
#include "formats/xm/XmPlayer.h"
#include "song/MemoryStream.h"
#include "support/ByteWriter.h"
#include "support/SampleStoreMixer.h"
#include "support/XmBuilder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace tolva::test {
namespace {

std::unique_ptr<XmPlayer> load(const std::vector<uint8_t>& bytes, SampleStoreMixer* mixer,
                               bool infoOnly = false) {
    MemoryStream stream(bytes);
    return std::unique_ptr<XmPlayer>(
        static_cast<XmPlayer*>(loadXm(stream, infoOnly, mixer).release()));
}

uint32_t identify(const std::vector<uint8_t>& bytes) {
    MemoryStream stream(bytes);
    return identifyXm(stream);
}

void put16(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
    b[at] = static_cast<uint8_t>(v);
    b[at + 1] = static_cast<uint8_t>(v >> 8);
}

void put32(std::vector<uint8_t>& b, std::size_t at, uint32_t v) {
    put16(b, at, v);
    put16(b, at + 2, v >> 16);
}

// File offset of the first instrument of a song whose patterns are all empty 64-row ones.
std::size_t firstInstrumentOffset(const std::vector<uint8_t>& b) {
    std::size_t at = 336;
    const uint32_t patterns = b[70] | b[71] << 8;
    for (uint32_t p = 0; p < patterns; ++p)
        at += 9 + (b[at + 7] | b[at + 8] << 8);
    return at;
}

TEST(XmIdentify, TagVersionAndShortFiles) {
    std::vector<uint8_t> file = XmBuilder().instrument(xmInstrument()).build();
    EXPECT_EQ(identify(file), 0u);
    const char upper[] = "EXTENDED MODULE: ";
    std::memcpy(file.data(), upper, 17);
    EXPECT_EQ(identify(file), 0u); // letters compare without case
    put16(file, 58, 0x0103);
    EXPECT_EQ(identify(file), 0u);
    put16(file, 58, 0x0102);
    EXPECT_EQ(identify(file), 2u);
    put16(file, 58, 0x0105);
    EXPECT_EQ(identify(file), 2u);
    file[16] = '_';
    EXPECT_EQ(identify(file), 3u);
    EXPECT_EQ(identify(std::vector<uint8_t>(file.begin(), file.begin() + 59)), 1u);
}

TEST(XmLoader, HeaderValues) {
    const auto bytes = XmBuilder(5)
                           .title("A title of more than twenty")
                           .speed(3)
                           .tempo(150)
                           .restart(1)
                           .orders({1, 0, 1})
                           .instrument(xmInstrument())
                           .build();
    SampleStoreMixer mixer;
    auto player = load(bytes, &mixer);
    ASSERT_TRUE(player);
    const Song& song = player->song;
    EXPECT_STREQ(song.title, "A title of more than");
    EXPECT_EQ(song.channelCount, 5u);
    EXPECT_EQ(song.orderCount, 3u);
    EXPECT_EQ(song.orders[0], 1);
    EXPECT_EQ(song.orders[2], 1);
    EXPECT_EQ(song.orders[3], OrderEnd);
    EXPECT_EQ(song.restartPosition, 1u);
    EXPECT_EQ(song.initialSpeed, 3);
    EXPECT_EQ(song.initialTempo, 150u);
    EXPECT_EQ(song.sampleCount, 0u);
    EXPECT_EQ(song.maxPeriod, 12500);
    EXPECT_EQ(song.minPeriod, 7);
    EXPECT_EQ(song.slideUpUnit, -4);
    EXPECT_EQ(song.slideDownUnit, 4);
    EXPECT_EQ(player->xmFlags, 1);
    EXPECT_EQ(player->formatType(), 4u);
}

TEST(XmLoader, ShortHeaderReadsMissingFieldsAsZero) {
    // A header size of 16 + 4 ends right before the order table: every order entry is 0.
    auto bytes = XmBuilder().orders({1, 1, 1}).instrument(xmInstrument()).build();
    std::vector<uint8_t> shortened(bytes.begin(), bytes.begin() + 80);
    shortened.insert(shortened.end(), bytes.begin() + 336, bytes.end());
    put32(shortened, 60, 20);
    SampleStoreMixer mixer;
    auto player = load(shortened, &mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->song.orderCount, 3u);
    EXPECT_EQ(player->song.orders[0], 0);
    EXPECT_EQ(player->song.orders[2], 0);
    EXPECT_TRUE(player->instruments[0]);
}

TEST(XmLoader, LongHeaderIsSkipped) {
    auto bytes = XmBuilder().instrument(xmInstrument()).build();
    bytes.insert(bytes.begin() + 336, 10, 0xEE);
    put32(bytes, 60, 286);
    SampleStoreMixer mixer;
    auto player = load(bytes, &mixer);
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->instruments[0]);
}

TEST(XmLoader, OnlyPatternsInTheOrderListAreKept) {
    const auto bytes = XmBuilder()
                           .orders({2, 0})
                           .patternCount(4)
                           .cell(0, 0, 0, xmNote(48, 1))
                           .cell(1, 0, 0, xmNote(48, 1))
                           .cell(2, 3, 1, xmFx(0xF, 3))
                           .rows(2, 16)
                           .instrument(xmInstrument())
                           .build();
    SampleStoreMixer mixer;
    auto player = load(bytes, &mixer);
    ASSERT_TRUE(player);
    EXPECT_FALSE(player->song.patterns[0].empty());
    EXPECT_TRUE(player->song.patterns[1].empty());
    EXPECT_FALSE(player->song.patterns[2].empty());
    EXPECT_TRUE(player->song.patterns[3].empty());
    PatternDescription d;
    player->describePattern(d, 2);
    EXPECT_EQ(d.rows, 16u);
    ASSERT_TRUE(d.cells);
    EXPECT_EQ(d.cells[0], 9); // the stored record starts with the pattern header
    player->describePattern(d, 1);
    EXPECT_EQ(d.rows, 64u);
    EXPECT_FALSE(d.cells);
}

TEST(XmLoader, PatternHeaderLengthIsHonoured) {
    auto bytes = XmBuilder().cell(0, 0, 0, xmNote(48, 1)).instrument(xmInstrument()).build();
    // Four extra header bytes in front of the packed cells.
    put32(bytes, 336, 13);
    bytes.insert(bytes.begin() + 345, 4, 0xAA);
    SampleStoreMixer mixer;
    auto player = load(bytes, &mixer);
    ASSERT_TRUE(player);
    const auto& record = player->song.patterns[0];
    ASSERT_GT(record.size(), 11u);
    EXPECT_EQ(record[9], 0x83); // note and instrument
    EXPECT_EQ(record[10], 49);
    EXPECT_TRUE(player->instruments[0]);
}

TEST(XmLoader, InstrumentsSamplesAndNoteMaps) {
    XmInstrumentDef two = xmInstrument();
    XmSampleDef second = xmSquare(8);
    second.name = "second";
    second.volume = 40;
    second.finetune = -16;
    second.panning = 200;
    second.relativeNote = -12;
    two.samples.push_back(second);
    XmSampleDef unused = xmSquare(4);
    two.samples.push_back(unused);
    two.samples.push_back(XmSampleDef{}); // length 0
    for (uint32_t n = 48; n < 96; ++n)
        two.noteMap[n] = 1;
    two.vibratoType = 2;
    two.fadeout = 0x1234;
    const auto bytes = XmBuilder()
                           .instrument(XmInstrumentDef{}) // no samples
                           .instrument(two)
                           .build();
    SampleStoreMixer mixer;
    auto player = load(bytes, &mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->instrumentCount(), 2u);
    EXPECT_FALSE(player->instruments[0]);
    EXPECT_EQ(player->instrumentSampleCount(0), 0u);
    const XmInstrument* ins = player->instruments[1];
    ASSERT_TRUE(ins);
    EXPECT_EQ(player->instrumentSampleCount(1), 4u);
    EXPECT_EQ(ins->fadeout(), 0x1234);
    EXPECT_EQ(ins->vibratoType(), 2);
    EXPECT_EQ(ins->sampleForNote(47), ins->samples[0]);
    EXPECT_EQ(ins->sampleForNote(48), ins->samples[1]);
    const XmSample* s = ins->samples[1];
    ASSERT_TRUE(s);
    EXPECT_STREQ(s->name, "second");
    EXPECT_EQ(s->volume, 40);
    EXPECT_EQ(s->finetune, -16);
    EXPECT_EQ(s->panning, 200);
    EXPECT_EQ(s->relativeNote, -12);
    EXPECT_TRUE(s->present);
    ASSERT_TRUE(s->data);
    // Samples no note maps to are recorded but get no data.
    ASSERT_TRUE(ins->samples[2]);
    EXPECT_FALSE(ins->samples[2]->present);
    EXPECT_FALSE(ins->samples[2]->data);
    EXPECT_FALSE(ins->samples[3]);
    EXPECT_EQ(mixer.liveBlocks(), 2u);

    InstrumentDescription d;
    player->describeInstrument(d, 1);
    EXPECT_TRUE(d.valid);
    EXPECT_EQ(d.marker, 0x0101);
    EXPECT_EQ(d.size, 243u);
    EXPECT_EQ(d.bytes[27], 4); // sample count at its file offset
    player->describeInstrument(d, 0);
    EXPECT_FALSE(d.valid);
    player.reset();
    EXPECT_EQ(mixer.liveBlocks(), 0u);
}

TEST(XmLoader, DeltaCodedSampleData) {
    XmSampleDef eight;
    eight.pcm = {0, 10, -10, 127, -128, 5};
    XmSampleDef sixteen;
    sixteen.sixteenBit = true;
    sixteen.pcm = {1000, -1000, 32767, -32768};
    XmInstrumentDef ins = xmInstrument(eight);
    ins.samples.push_back(sixteen);
    for (uint32_t n = 60; n < 96; ++n)
        ins.noteMap[n] = 1;
    SampleStoreMixer mixer;
    auto player = load(XmBuilder().instrument(ins).build(), &mixer);
    ASSERT_TRUE(player);
    const auto a = mixer.bytesOf(player->instruments[0]->samples[0]->data);
    EXPECT_EQ(a, (std::vector<uint8_t>{0, 10, 246, 127, 128, 5}));
    const auto b = mixer.bytesOf(player->instruments[0]->samples[1]->data);
    EXPECT_EQ(b, (std::vector<uint8_t>{0xE8, 0x03, 0x18, 0xFC, 0xFF, 0x7F, 0x00, 0x80}));
}

TEST(XmLoader, SixteenBitSampleOfOddLengthKeepsItsLastByte) {
    XmSampleDef s;
    s.sixteenBit = true;
    s.pcm = {100, 100};
    auto bytes = XmBuilder().instrument(xmInstrument(s)).build();
    // Make the sample 5 bytes long: the fifth byte is a stored 0x33 after the two words.
    const std::size_t ins = firstInstrumentOffset(bytes);
    put32(bytes, ins + 263, 5);
    bytes.push_back(0x33);
    SampleStoreMixer mixer;
    auto player = load(bytes, &mixer);
    ASSERT_TRUE(player);
    const auto data = mixer.bytesOf(player->instruments[0]->samples[0]->data);
    EXPECT_EQ(data, (std::vector<uint8_t>{100, 0, 100, 0, 0x33}));
}

TEST(XmLoader, LoopsStayInsideTheData) {
    XmSampleDef past = xmSquare(32);
    past.loopStart = 16;
    past.loopLength = 100;
    XmSampleDef beyond = xmSquare(32);
    beyond.loopStart = 32;
    beyond.loopLength = 8;
    XmSampleDef empty = xmSquare(32);
    empty.loopType = 2;
    empty.loopLength = 0;
    XmInstrumentDef ins = xmInstrument(past);
    ins.samples.push_back(beyond);
    ins.samples.push_back(empty);
    ins.noteMap[1] = 1;
    ins.noteMap[2] = 2;
    SampleStoreMixer mixer;
    auto player = load(XmBuilder().instrument(ins).build(), &mixer);
    ASSERT_TRUE(player);
    const auto& samples = player->instruments[0]->samples;
    EXPECT_TRUE(samples[0]->loops());
    EXPECT_EQ(samples[0]->loopEnd, 32u);
    EXPECT_FALSE(samples[1]->loops());
    EXPECT_FALSE(samples[2]->loops());
}

TEST(XmLoader, InfoOnlyReadsNoSampleData) {
    SampleStoreMixer mixer;
    auto player = load(XmBuilder().instrument(xmInstrument()).build(), &mixer, true);
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->song.infoOnly);
    const XmSample* s = player->instruments[0]->samples[0];
    ASSERT_TRUE(s);
    EXPECT_EQ(s->length, 32u);
    EXPECT_TRUE(s->present);
    EXPECT_FALSE(s->data);
    EXPECT_EQ(mixer.liveBlocks(), 0u);
    // Without a mixer as well.
    EXPECT_TRUE(load(XmBuilder().instrument(xmInstrument()).build(), nullptr, true));
}

TEST(XmLoader, RefusedHeaders) {
    SampleStoreMixer mixer;
    const auto good = XmBuilder().instrument(xmInstrument()).build();
    auto bad = good;
    put16(bad, 68, 33);
    EXPECT_FALSE(load(bad, &mixer)) << "more than 32 channels";
    bad = good;
    put16(bad, 70, 0);
    EXPECT_FALSE(load(bad, &mixer)) << "no patterns";
    bad = good;
    put16(bad, 72, 0);
    EXPECT_FALSE(load(bad, &mixer)) << "no instruments";
    bad = good;
    put32(bad, 60, 3);
    EXPECT_FALSE(load(bad, &mixer)) << "header size below 4";
    bad = good;
    put16(bad, 58, 0x0102);
    EXPECT_FALSE(load(bad, &mixer)) << "unsupported version";
    bad = good;
    put16(bad, firstInstrumentOffset(bad) + 27, 17);
    EXPECT_FALSE(load(bad, &mixer)) << "17 samples";
    bad = good;
    put16(bad, 336 + 7, 0xFFFF);
    EXPECT_FALSE(load(bad, &mixer)) << "pattern data past the end";
    EXPECT_EQ(mixer.liveBlocks(), 0u);
}

TEST(XmLoader, SongLengthAbove256IsCut) {
    auto bytes = XmBuilder().instrument(xmInstrument()).build();
    put16(bytes, 64, 300);
    SampleStoreMixer mixer;
    auto player = load(bytes, &mixer);
    ASSERT_TRUE(player);
    EXPECT_EQ(player->song.orders[255], 0);
    EXPECT_EQ(player->song.orders[256], OrderEnd);
}

TEST(XmLoader, FileEndingInsideTheInstrumentsKeepsTheCompleteOnes) {
    auto bytes = XmBuilder().instrument(xmInstrument()).instrument(xmInstrument()).build();
    const std::size_t second = bytes.size() - (263 + 40 + 32);
    bytes.resize(second + 20);
    SampleStoreMixer mixer;
    auto player = load(bytes, &mixer);
    ASSERT_TRUE(player);
    EXPECT_TRUE(player->instruments[0]);
    EXPECT_FALSE(player->instruments[1]);
}

TEST(XmLoader, TruncatedCopiesAreRefusedOrLoadWithoutCrashing) {
    XmInstrumentDef ins = xmInstrument();
    ins.volumeEnvelope = {{{0, 64}, {10, 0}}, 0, 0, 0, 1};
    const auto bytes = XmBuilder(4)
                           .orders({0, 1})
                           .cell(0, 0, 0, xmNote(48, 1, 0x40, 0xA, 0x0F))
                           .cell(1, 5, 3, xmNote(50, 2))
                           .instrument(ins)
                           .instrument(xmInstrument(xmSquare(64)))
                           .build();
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        SampleStoreMixer mixer;
        auto player = load(std::vector<uint8_t>(bytes.begin(), bytes.begin() + size), &mixer);
        // Sample data cut short keeps what the file holds; a cut before it keeps what was
        // complete.
        if (size >= bytes.size() - 64) {
            ASSERT_TRUE(player) << size;
            EXPECT_EQ(player->instruments[1]->samples[0]->length, size - (bytes.size() - 64));
        } else if (player && player->instruments[1]) {
            EXPECT_FALSE(player->instruments[1]->samples[0]) << size;
        }
        player.reset();
        EXPECT_EQ(mixer.liveBlocks(), 0u);
    }
}

} // namespace
} // namespace tolva::test
