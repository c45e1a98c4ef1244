#include "engine/Player.h"
#include "formats/FormatRegistry.h"
#include "formats/it/ItCreatorText.h"
#include "formats/it/ItInstrument.h"
#include "formats/it/ItPattern.h"
#include "formats/it/ItPlayer.h"
#include "formats/it/ItSample.h"
#include "song/MemoryStream.h"
#include "support/ItHarness.h"

#include <cstring>
#include <gtest/gtest.h>
#include <numeric>
#include <string>
#include <tuple>
#include <vector>

namespace tolva::test {
namespace {

using Longs = std::vector<int64_t>;

// Orders of 255 entries and more keep 256; the offset tables follow the whole list. Samples
// beyond the table's 199 are cut.
TEST(ItSongHeader, HeaderValuesFillTheSongAndItsDescriptionAndDamagedHeadersAreRefused) {
    ItFileBuilder b;
    b.flags = 0x0D; // stereo, instruments, linear slides
    b.orders = {0, 254, 255, 7};
    b.message = "line\rnext\r";
    const uint8_t pans[] = {0, 64, 100, 0x80 | 32};
    std::copy(std::begin(pans), std::end(pans), b.channelPan);
    b.channelVolume[1] = 20;
    b.instruments = {itInstrumentRecord("a", 1)};
    auto played = playIt(b);
    ASSERT_TRUE(played->player);
    Player& p = *played->player;
    const Song& s = p.song;
    EXPECT_EQ((Longs{s.channelCount, s.maxPeriod, s.orders[1], s.orders[2], s.orders[4]}),
              (Longs{64, 12500, OrderSkip, OrderEnd, OrderEnd}));
    EXPECT_STREQ(p.info().songMessage(), "line\r\nnext\r\n");
    SongDescription song;
    p.info().describeSong(song);
    EXPECT_EQ((Longs{song.modeFlags, song.channelPanning[1], song.channelPanning[2],
                     song.channelSurround[2], song.channelDisabled[3], song.channelDisabled[2],
                     song.channelVolume[1]}),
              (Longs{ModeLinearSlides | ModeInstruments, 255, 128, 1, 1, 0, 20}));
    b.flags = 0x01;
    b.message.clear();
    EXPECT_EQ(playIt(b)->player->info().songMessage(), nullptr);
    EXPECT_EQ(loadItBytes(b.build())->song.maxPeriod, 3424);
    b.orders.assign(300, 0);
    b.samples.resize(250);
    b.samples[0].name = "after the orders";
    b.samples[198].name = "last kept";
    auto it = loadItBytes(b.build());
    EXPECT_EQ((Longs{it->song.orderCount, it->song.orders[255], it->song.orders[256],
                     it->song.sampleCount, it->module->sampleCount}),
              (Longs{MaxOrders, 0, OrderEnd, 199, 199}));
    EXPECT_EQ(std::string(it->module->samples[0].name).rfind("after the orders", 0), 0u);
    EXPECT_EQ(std::string(it->module->samples[198].name).rfind("last kept", 0), 0u);
    // A damaged IT file is not handed on to the formats tried after it. A message outside the file
    // is dropped, but the song loads.
    b = ItFileBuilder{};
    b.orders.clear();
    EXPECT_EQ(loadItBytes(b.build())->error, ItLoadError::NoOrders);
    b = ItFileBuilder{};
    b.patterns.clear();
    EXPECT_EQ(loadItBytes(b.build())->error, ItLoadError::NoPatterns);
    std::vector<uint8_t> file = b.build();
    file.resize(4000, 0); // long enough to be tried as a 15-sample MOD
    MemoryStream damaged(file);
    LoadFailure failure;
    EXPECT_EQ(createPlayer(damaged, {.infoOnly = true}, nullptr, &failure), nullptr);
    EXPECT_EQ(failure, LoadFailure::Damaged);
    std::vector<uint8_t> whole = ItFileBuilder{}.build();
    whole.resize(191);
    EXPECT_EQ(loadItBytes(whole)->error, ItLoadError::ShortHeader);
    whole.resize(193); // the header, and one order byte of two
    EXPECT_EQ(loadItBytes(whole)->error, ItLoadError::OrderList);
    b = ItFileBuilder{};
    b.message = "hello";
    file = b.build();
    putLong(file, 0x38, static_cast<uint32_t>(file.size()) - 2);
    it = loadItBytes(file);
    EXPECT_EQ(it->error, ItLoadError::None);
    EXPECT_TRUE(it->module->message.empty());
    putLong(file, 0x38, 0x90000000u);
    EXPECT_EQ(loadItBytes(file)->error, ItLoadError::None);
}

TEST(ItCreatorText, TrackerVersionsAndSchismDates) {
    // Schism Tracker counts days from 2009-10-31; 2012 is a leap year. 0x8214 has a negative
    // high byte.
    const int toLeapDay = 30 + 31 + 365 + 365 + 31 + 29;
    const std::pair<int, const char*> cases[] = {
        {0x0214, " 2.14"},
        {0x0216, " 2.16"},
        {0x0217, " 2.17 (ModPlug)"},
        {0x0314, " 3.14 (?\?)"},
        {0x5117, " (OpenMPT 1.17)"},
        {0x1050, " (Schism Tracker 0.50)"},
        {0x2000, ""},
        {0x8214, ""},
        {0x1051, " (Schism Tracker 2009-11-1)"},
        {0x1050 + 30, " (Schism Tracker 2009-11-30)"},
        {0x1050 + 31, " (Schism Tracker 2009-12-1)"},
        {0x1050 + 30 + 31 + 31, " (Schism Tracker 2010-1-31)"},
        {0x1050 + toLeapDay, " (Schism Tracker 2012-2-29)"},
        {0x1050 + toLeapDay + 1, " (Schism Tracker 2012-3-1)"}};
    for (const auto& [word, expected] : cases) {
        char text[64];
        itCreatorText(static_cast<uint16_t>(word), text, sizeof text);
        EXPECT_STREQ(text, expected) << std::hex << word;
    }
    char shortText[6];
    itCreatorText(0x5117, shortText, sizeof shortText);
    EXPECT_STREQ(shortText, " (Ope");
}

// Lengths and loops counted in bytes, described in frames; loops reaching past the data cut or
// dropped.
TEST(ItSampleHeaders, LoopsEmptySlotsInformationLoadsInterleavingCutAndBrokenSamples) {
    // Unsigned 16-bit stereo: four bytes a frame. A ping-pong bit counts only beside its loop bit.
    ItTestSample s{.name = "lead", .flags = 0xD7, .convert = 0, .frames = 100, .defaultPan = 0xB0};
    std::tie(s.loopStart, s.loopEnd, s.sustainStart, s.sustainEnd) = std::tuple(10, 90, 1, 2);
    ItTestSample past{.flags = 0xB1, .frames = 50};
    std::tie(past.loopStart, past.loopEnd, past.sustainStart, past.sustainEnd) =
        std::tuple(50, 60, 10, 80);
    // The loop end goes past 32 bits.
    const ItTestSample wide{
        .flags = 0x37, .frames = 50, .loopEnd = 0xFFFFFFFFu, .sustainStart = 0xFFFFFFFFu};
    // Loops that end before or at their start: the sample plays through once.
    const ItTestSample backward{.flags = 0x31,
                                .frames = 50,
                                .loopStart = 30,
                                .loopEnd = 20,
                                .sustainStart = 20,
                                .sustainEnd = 20};
    ItFileBuilder b;
    b.samples = {s, past, wide, backward};
    auto song = playIt(b);
    ASSERT_TRUE(song->player);
    const ItSample& r = song->it().module.samples[0];
    EXPECT_EQ((Longs{r.length, r.loopStart, r.loopEnd, r.sustainLoopStart, r.sustainLoopEnd}),
              (Longs{400, 40, 360, 4, 8}));
    EXPECT_EQ(std::string(r.name), "lead" + std::string(21, ' '));
    const ItSample& q = song->it().module.samples[1];
    const ItSample& w = song->it().module.samples[2];
    EXPECT_EQ((Longs{q.flags & 0x30, q.loopEnd, q.sustainLoopStart, q.sustainLoopEnd,
                     w.flags & 0x30, w.loopEnd, song->it().module.samples[3].flags & 0x30u}),
              (Longs{0x20, 50, 10, 50, 0x10, 200, 0}));
    SampleDescription d;
    song->player->info().describeSample(d, 0, 0);
    const uint32_t fields = SampleFieldDefaultPanning | SampleFieldSustainLoop;
    EXPECT_EQ((Longs{d.length, d.loopStart, d.loopEnd, d.sustainLoopEnd, d.defaultPanning,
                     d.typeFlags, d.loopKind, d.sustainLoopKind, d.fieldMask & fields}),
              (Longs{100, 10, 90, 2, 48, SampleType16Bit | SampleTypeUnsigned | SampleTypeStereo,
                     LoopPingPong, LoopNone, fields}));
    song->player->info().describeSample(d, 1, 0);
    EXPECT_EQ((Longs{d.loopKind, d.sustainLoopKind, d.fieldMask & SampleFieldDefaultPanning}),
              (Longs{LoopNone, LoopPingPong, 0}));
    song->player->info().describeSample(d, 4, 0);
    EXPECT_EQ(d.fieldMask, 0u);
    // Loads without a mixer are for information only; a refused file gives the sample data
    // already loaded back. The second sample's data bit is clear.
    b = ItFileBuilder{};
    b.samples = {{.name = "just a comment", .rate = 44100}, {.flags = 0, .frames = 10}};
    auto it = loadItBytes(b.build());
    ASSERT_EQ(it->error, ItLoadError::None);
    const ItSample& c = it->module->samples[0];
    EXPECT_EQ(std::string(c.name).rfind("just a comment", 0), 0u);
    EXPECT_EQ((Longs{c.present, c.middleCRate, it->module->samples[1].length,
                     int64_t(it->mixer->liveBlocks())}),
              (Longs{0, 0, 0, 0}));
    b.samples = {{.flags = 0x11, .frames = 100, .loopEnd = 200}};
    it = loadItBytes(b.build(), true);
    const ItSample& i = it->module->samples[0];
    EXPECT_EQ((Longs{i.length, i.loopEnd, i.present, i.data == nullptr, it->song.infoOnly,
                     int64_t(it->mixer->liveBlocks())}),
              (Longs{100, 100, 0, 1, 1, 0}));
    MemoryStream stream(b.build());
    ItLoadError error;
    EXPECT_EQ(loadIt(stream, false, nullptr, error), nullptr);
    EXPECT_EQ(error, ItLoadError::NoMixer);
    // The third sample is compressed, but no valid block chain.
    b.samples = {{.frames = 50}, {.flags = 0x03, .frames = 60}, {.flags = 0x09, .frames = 10}};
    b.samples[2].data.assign(10, 0xFF);
    SampleStoreMixer mixer;
    MemoryStream refused(b.build());
    EXPECT_EQ(loadIt(refused, false, &mixer, error), nullptr);
    EXPECT_EQ((Longs{int(error), int64_t(mixer.liveBlocks())}),
              (Longs{int(ItLoadError::SampleData), 0}));
    // Deltas 0, +1, +2, +3, ..., -1; codes 1, 2 (byte 0x21), then 15, 0 (byte 0x0F).
    const ItTestSample adpcm{
        .convert = 0xFF,
        .frames = 4,
        .data = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0xFF, 0x21, 0x0F}};
    const ItTestSample stereo{.flags = 0x05, .frames = 4};
    std::vector<uint8_t> first99(99);
    std::iota(first99.begin(), first99.end(), 0);
    // Stereo frames are stored as all left halves, then all right ones: four 8-bit frames as
    // 0 1 2 3, 4 5 6 7, two 16-bit ones as 0 1 2 3, 4 5 6 7. A frame stays while its left half
    // is there.
    const std::tuple<ItTestSample, std::size_t, std::vector<uint8_t>> cases[] = {
        {stereo, 0, {0, 4, 1, 5, 2, 6, 3, 7}},
        {{.flags = 0x07, .frames = 2}, 0, {0, 1, 4, 5, 2, 3, 6, 7}},
        {stereo, 3, {0, 4, 1, 0, 2, 0, 3, 0}},
        {stereo, 6, {0, 0, 1, 0}},
        {adpcm, 0, {1, 3, 2, 2}},
        {adpcm, 1, {1, 3}},
        {{.frames = 100}, 1, first99}};
    for (const auto& [sample, cut, bytes] : cases) {
        ItFileBuilder b;
        b.samples = {sample};
        const std::vector<uint8_t> file = b.build();
        auto it = loadItBytes(std::vector<uint8_t>(file.begin(), file.end() - std::ptrdiff_t(cut)));
        EXPECT_EQ(it->error, ItLoadError::None);
        EXPECT_EQ(it->sampleBytes(0), bytes) << cut;
    }
    b = ItFileBuilder{};
    b.samples = {{.frames = 100}};
    const std::vector<uint8_t> file = b.build();
    const std::size_t header = file[0xC2] | file[0xC3] << 8; // the one sample offset
    std::vector<uint8_t> bad = file;
    bad[header + 3] = 'X';
    EXPECT_EQ(loadItBytes(bad)->error, ItLoadError::SampleHeader);
    bad = file;
    putLong(bad, header + 0x30, 0x80000000u);
    bad[header + 0x12] = 0x03; // 16-bit: 4 GiB of bytes
    EXPECT_EQ(loadItBytes(bad)->error, ItLoadError::SampleTooLong);
    bad[header + 0x12] = 0x01; // 2 GiB: all but the 100 bytes the file holds are missing
    EXPECT_EQ(loadItBytes(bad)->module->samples[0].length, 100u);
}

std::unique_ptr<ItLoaded> loadInstruments(std::vector<std::vector<uint8_t>> records,
                                          uint16_t compatibleWith = 0x0214) {
    ItFileBuilder b;
    b.flags = 0x05;
    b.compatibleWith = compatibleWith;
    b.instruments = std::move(records);
    return loadItBytes(b.build());
}

// Only instrument-mode songs show their instruments.
TEST(ItInstrumentFormats, BothLayoutsAreReadDescribedAndCheckedForDamage) {
    // Every byte carries a value of its own, so a byte moved on its way through shows.
    std::vector<uint8_t> r(550);
    for (std::size_t i = 0; i < r.size(); ++i)
        r[i] = static_cast<uint8_t>(i * 7 + 1);
    std::memcpy(r.data(), "IMPI", 4);
    r[0x10] = r[0x1F] = 0;                             // reserved bytes are not kept
    r[0x20 + 25] = 0;                                  // the name's 26th byte is its terminator
    r[0x130 + 81] = r[0x182 + 81] = r[0x1D4 + 81] = 0; // each envelope's reserved byte
    // Envelope heads: flags, node count, loop start and end, sustain start and end.
    putBytes(r, 0x130, {0x07, 3, 1, 2, 0, 0});
    putBytes(r, 0x182, {0x0B, 2, 0, 1, 0, 0});
    putBytes(r, 0x1D4, {0x81, 2, 0, 0, 0, 0});
    ItFileBuilder b;
    b.flags = 0x05;
    b.instruments = {r};
    auto song = playIt(b);
    ASSERT_TRUE(song->player);
    InstrumentDescription d;
    song->player->info().describeInstrument(d, 0);
    EXPECT_EQ(d.size, 550u);
    EXPECT_EQ(std::vector<uint8_t>(d.bytes, d.bytes + 550), r);
    song->player->info().describeInstrument(d, 1);
    EXPECT_FALSE(d.valid);
    b.flags = 0x01;
    playIt(b)->player->info().describeInstrument(d, 0);
    EXPECT_FALSE(d.valid);
    // Undefined flag bits go; loops and sustains running backwards are switched off.
    // The heads of the volume, pan and pitch envelopes, 0x52 bytes apart, and the flags kept.
    const std::pair<std::vector<std::vector<uint8_t>>, Longs> cases[] = {
        {{{0xF7, 3}, {0xFB, 3}, {0xF1, 3}}, {0x07, 0x0B, 0x81}}, // the filter bit stays
        {{{0x07, 6, 5, 3, 2, 2}, {0x07, 6, 1, 1, 4, 1}, {0x07, 6, 5, 3, 4, 1}},
         {0x05, 0x03, 0x01}}};
    for (const auto& [heads, flags] : cases) {
        std::vector<uint8_t> r = itInstrumentRecord("x", 1);
        for (std::size_t e = 0; e < 3; ++e)
            putBytes(r, 0x130 + 0x52 * e, heads[e]);
        auto it = loadInstruments({r});
        ASSERT_EQ(it->error, ItLoadError::None);
        const ItInstrument& in = it->module->instruments[0];
        EXPECT_EQ((Longs{in.volumeEnvelope.flags, in.panEnvelope.flags, in.pitchEnvelope.flags}),
                  flags);
    }
    // The old layout, converted with fixed defaults. Names turn NUL bytes into spaces and never
    // show their 26th byte.
    std::vector<uint8_t> record = itInstrumentRecord(std::string("old\0one", 7), 2, true);
    record[0x20 + 25] = 'z';
    putBytes(record, 0x11, {0x07, 0, 1, 2, 2}); // loop nodes 0..1, sustain node 2
    putWord(record, 0x18, 40);
    record[0x1A] = ItNnaNoteOff;
    record[0x1B] = 1;
    putBytes(record, 0x1F8, {0, 64, 5, 30, 20, 0, 0xFF});
    // No usable nodes; and a loop ending past the two nodes.
    std::vector<uint8_t> none = itInstrumentRecord("a", 1, true);
    none[0x11] = 0x01;
    std::vector<uint8_t> loopPastEnd = itInstrumentRecord("b", 1, true);
    putBytes(loopPastEnd, 0x11, {0x07, 0, 4, 0, 1});
    putBytes(loopPastEnd, 0x1F8, {0, 0, 10, 0, 0xFF});
    auto it = loadInstruments({record, none, loopPastEnd}, 0x0100);
    ASSERT_EQ(it->error, ItLoadError::None);
    const ItInstrument& in = it->module->instruments[0];
    EXPECT_EQ(std::string(in.name), "old one" + std::string(18, ' '));
    EXPECT_EQ((Longs{in.fadeOut, in.newNoteAction, in.duplicateCheckType, in.duplicateCheckAction,
                     in.pitchPanSeparation, in.pitchPanCentre, in.globalVolume, in.defaultPan,
                     in.randomVolume, in.panEnvelope.flags, in.pitchEnvelope.flags,
                     in.noteMap[10].sample}),
              (Longs{80, ItNnaNoteOff, ItDctNote, ItDcaCut, 0, 60, 128, 0x80 | 32, 0, 0, 0, 2}));
    const ItEnvelope& vol = in.volumeEnvelope;
    EXPECT_EQ((Longs{vol.flags, vol.nodeCount, vol.nodes[1].tick, vol.nodes[1].value,
                     vol.nodes[2].tick, vol.sustainStart}),
              (Longs{0x07, 3, 5, 30, 20, 2}));
    const ItEnvelope& past = it->module->instruments[2].volumeEnvelope;
    EXPECT_EQ((Longs{it->module->instruments[1].volumeEnvelope.flags, past.flags, past.nodeCount}),
              (Longs{0, 0x05, 2}));
    // An old record may end one byte short at the end of the file, a new one not at all.
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
    HeapArray<uint8_t> pattern;

    explicit Rows(const std::vector<uint8_t>& bytes) { enter(bytes); }
    // A block of its own, so a read past the end shows under the sanitizers.
    void enter(const std::vector<uint8_t>& bytes) {
        pattern.clear();
        ASSERT_TRUE(pattern.resize(bytes.size()));
        std::copy(bytes.begin(), bytes.end(), pattern.begin());
        reader.enter(pattern);
    }
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

TEST(ItPatterns, MasksAnnounceOrReuseBytesCellsCutShortStopOnlyOrderedPatternsAreKept) {
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
    EXPECT_EQ((Longs{r.cells[4].mask, r.cells[4].values.note, r.cells[63].values.command,
                     r.cells[63].values.param}),
              (Longs{0x01, ItNoteOff, 1, 0x20}));
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
    // Entering a pattern clears the masks, so a channel byte without a mask announces nothing,
    // but keeps the values.
    r.enter(stored({0x02, 0}));
    ASSERT_TRUE(r.next());
    EXPECT_EQ((Longs{r.cells[1].mask, r.memory[1].note}), (Longs{0, 52}));
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
    // Patterns absent or claiming no rows play 64 empty rows.
    ItFileBuilder b;
    b.orders = {2, 254, 0, 4, 255, 1, 200};
    b.patterns.assign(201, {});
    b.patterns[0] = {32, {0x81, 0x01, 60, 0}};
    b.patterns[1].packed = {1, 2, 3}; // after the end marker: another tune's, kept
    b.patterns[2].absent = true;
    b.patterns[3].packed = {9};
    b.patterns[4] = {0, {0}};
    b.patterns[200].packed = {0x81, 0x01, 1, 0}; // past the 200th: plays as empty
    auto song = playIt(b);
    ASSERT_TRUE(song->player);
    Player& p = *song->player;
    const auto& patterns = p.song.patterns;
    EXPECT_EQ(std::vector<uint8_t>(patterns[0].begin(), patterns[0].end()),
              stored({0x81, 0x01, 60, 0}, 32));
    for (uint32_t i : {2u, 3u, 200u}) // 2 is ordered, but stored at offset 0
        EXPECT_TRUE(patterns[i].empty()) << i;
    EXPECT_EQ(patterns[1].size(), 8u + 3u);
    PatternDescription d;
    p.info().describePattern(d, 0);
    EXPECT_EQ((Longs{d.rows, d.size, d.cells[0]}), (Longs{32, 4, 0x81}));
    p.info().describePattern(d, 2);
    EXPECT_EQ((Longs{d.rows, d.cells == nullptr, p.isPatternMissing(2)}), (Longs{64, 1, 1}));
    uint32_t ticks = 0;
    while (p.onTick(0, 0))
        ++ticks;
    EXPECT_EQ(ticks, (64 + 32 + 64) * 6u);
    b = ItFileBuilder{};
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
