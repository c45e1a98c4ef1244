#include "formats/xm/XmLoader.h"
#include "formats/xm/XmPlayer.h"
#include "song/MemoryStream.h"
#include "support/SampleStoreMixer.h"
#include "support/XmBuilder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

namespace tolva::test {
namespace {

SampleStoreMixer mixer;

std::unique_ptr<XmPlayer> load(const std::vector<uint8_t>& bytes, bool infoOnly = false) {
    MemoryStream stream(bytes);
    return std::unique_ptr<XmPlayer>(
        static_cast<XmPlayer*>(loadXm(stream, infoOnly, infoOnly ? nullptr : &mixer).release()));
}

uint32_t identify(const std::vector<uint8_t>& bytes) {
    MemoryStream stream(bytes);
    return identifyXm(stream);
}

// A copy with a little-endian value written over `width` bytes at `at`.
std::vector<uint8_t> patched(std::vector<uint8_t> b, std::size_t at, uint32_t v,
                             uint32_t width = 2) {
    for (uint32_t i = 0; i < width; ++i)
        b[at + i] = static_cast<uint8_t>(v >> 8 * i);
    return b;
}

// Where a one-pattern song's first instrument starts: after the header, the 9-byte pattern
// header and 64 x 2 empty cells of one byte.
constexpr std::size_t firstInstrument = 336 + 9 + 128;

const std::vector<uint8_t> plain = XmBuilder().instrument(xmInstrument()).build();

TEST(XmIdentify, TagVersionAndShortFiles) {
    std::vector<uint8_t> file = plain;
    EXPECT_EQ(identify(file), 0u);
    std::memcpy(file.data(), "EXTENDED MODULE: ", 17); // letters compare without case
    EXPECT_EQ(identify(file), 0u);
    for (auto [version, id] : {std::pair{0x0103, 0u}, {0x0102, 0u}, {0x0101, 2u}, {0x0105, 2u}})
        EXPECT_EQ(identify(patched(file, 58, version)), id) << version;
    file[16] = '_';
    EXPECT_EQ(identify(file), 3u);
    EXPECT_EQ(identify(std::vector<uint8_t>(file.begin(), file.begin() + 59)), 1u);
}

TEST(XmLoader, HeaderValuesSizesAndPatterns) {
    XmBuilder header = XmBuilder().title("A title of more than twenty").orders({1, 0, 1});
    auto player = load(header.linearFrequencies(false).instrument(xmInstrument()).build());
    ASSERT_TRUE(player);
    EXPECT_STREQ(player->song.title, "A title of more than");
    SongDescription d;
    player->info().describeSong(d);
    // Instruments, Amiga periods.
    EXPECT_EQ(std::pair(player->song.orders[3], int(d.modeFlags)), std::pair(int(OrderEnd), 2));
    // A header of 16 + 4 bytes ends before the order table: every order entry is 0.
    auto bytes = XmBuilder().orders({1, 1, 1}).instrument(xmInstrument()).build();
    std::vector<uint8_t> shortened(bytes.begin(), bytes.begin() + 80);
    shortened.insert(shortened.end(), bytes.begin() + 336, bytes.end());
    player = load(patched(shortened, 60, 20, 4));
    ASSERT_TRUE(player);
    EXPECT_EQ(std::tuple(int(player->song.orderCount), player->song.orders[2],
                         bool(player->instruments[0])),
              std::tuple(3, 0, true));
    // Ten bytes more of header are skipped.
    bytes = plain;
    bytes.insert(bytes.begin() + 336, 10, 0xEE);
    EXPECT_TRUE(load(patched(bytes, 60, 286, 4))->instruments[0]);
    player = load(patched(plain, 64, 300)); // song length above 256 is cut
    EXPECT_EQ(std::pair(player->song.orders[255], player->song.orders[256]),
              std::pair(0, int(OrderEnd)));

    XmBuilder four = XmBuilder().orders({2, 0}).patternCount(4).rows(2, 16);
    four.cell(0, 0, 0, xmNote(48, 1)).cell(1, 0, 0, xmNote(48, 1)).cell(2, 3, 1, xmFx(0xF, 3));
    player = load(four.instrument(xmInstrument()).build());
    ASSERT_TRUE(player);
    // Only patterns the order list names are kept; the stored record starts with the header.
    const auto& patterns = player->song.patterns;
    PatternDescription stored, missing;
    player->info().describePattern(stored, 2);
    player->info().describePattern(missing, 1);
    EXPECT_EQ((std::vector<int>{patterns[0].empty(), patterns[1].empty(), patterns[2].empty(),
                                patterns[3].empty(), int(stored.rows),
                                stored.cells ? stored.cells[0] : -1, int(missing.rows),
                                missing.cells == nullptr}),
              (std::vector<int>{0, 1, 0, 1, 16, 9, 64, 1}));
    // Four extra pattern header bytes in front of the packed cells.
    bytes = patched(xmLine({xmNote(48, 1)}).build(), 336, 13, 4);
    bytes.insert(bytes.begin() + 345, 4, 0xAA);
    player = load(bytes);
    ASSERT_TRUE(player);
    ASSERT_GT(player->song.patterns[0].size(), 11u);
    EXPECT_EQ((std::vector<int>{player->song.patterns[0][9], player->song.patterns[0][10],
                                player->instruments[0] != nullptr}),
              (std::vector<int>{0x83, 49, 1})); // the cell's mask and note; the instrument after
}

TEST(XmLoader, InstrumentsSamplesDescriptionsDataAndLoops) {
    XmSampleDef second = {.pcm = xmSquare(64).pcm, .loopType = 2, .loopStart = 8, .loopLength = 40};
    second.finetune = -16;
    second.relativeNote = -12;
    XmInstrumentDef two = xmInstrument(xmSquare(), second);
    two.samples.push_back(xmSquare(4));   // no note maps to it
    two.samples.push_back(XmSampleDef{}); // length 0
    auto player = load(XmBuilder().instrument(XmInstrumentDef{}).instrument(two).build());
    ASSERT_TRUE(player);
    // Samples no note maps to, and those of length 0, are recorded but get no data.
    EXPECT_EQ(player->info().instrumentSampleCount(1), 4u);
    EXPECT_EQ(mixer.liveBlocks(), 2u);
    SampleDescription s;
    player->info().describeSample(s, 2, 1);
    EXPECT_TRUE(s.fieldMask && !s.present && !s.data);
    player->info().describeSample(s, 1, 1);
    EXPECT_TRUE(s.data && s.present);
    EXPECT_EQ((std::vector<int>{s.instrumentNumber, s.finetune, s.relativeNote, s.loopKind,
                                int(s.loopStart), int(s.loopEnd)}),
              (std::vector<int>{2, -16, -12, LoopPingPong, 8, 48}));
    for (auto [sample, instrument] : {std::pair{0u, 0u}, {3u, 1u}, {4u, 1u}, {0u, 300u}}) {
        player->info().describeSample(s, sample, instrument);
        EXPECT_EQ(s.fieldMask, 0u) << sample << " of " << instrument;
    }
    InstrumentDescription d;
    player->info().describeInstrument(d, 1);
    // The sample count sits at byte 27, as in the file.
    EXPECT_EQ((std::vector<int>{d.valid, d.marker, int(d.size), d.bytes[27]}),
              (std::vector<int>{1, 0x0101, 243, 4}));
    player->info().describeInstrument(d, 0);
    EXPECT_FALSE(d.valid);
    player.reset();
    EXPECT_EQ(mixer.liveBlocks(), 0u);

    XmSampleDef sixteen = {.pcm = {1000, -1000, 32767, -32768}, .sixteenBit = true};
    const auto both =
        XmBuilder().instrument(xmInstrument({.pcm = {0, 10, -10, 127, -128, 5}}, sixteen, 60));
    // Five frames of ModPlug ADPCM (decoded as in MOD files) take 16 + 3 bytes, which the next
    // sample's data follows.
    const XmSampleDef packed = {.pcm = std::vector<int16_t>(5),
                                .adpcm = std::vector<uint8_t>(19, 7)};
    const auto many = XmBuilder().instrument(xmInstrument(packed, {.pcm = {9}}, 50));
    // ModPlug's stereo samples: each side delta coded on its own, played as pairs.
    const auto stereo =
        XmBuilder().instrument(xmInstrument({.pcm = {1, 2, 3, -1, -2, -3}, .stereo = true}));
    // A 16-bit sample of 5 bytes keeps its last byte.
    sixteen.pcm = {100, 100};
    auto odd = XmBuilder().instrument(xmInstrument(sixteen)).build();
    odd = patched(odd, firstInstrument + 263, 5, 4);
    odd.push_back(0x33);
    const std::tuple<std::vector<uint8_t>, uint32_t, std::vector<uint8_t>> cases[] = {
        {both.build(), 0, {0, 10, 246, 127, 128, 5}},
        {both.build(), 60, {0xE8, 0x03, 0x18, 0xFC, 0xFF, 0x7F, 0x00, 0x80}},
        {many.build(), 50, {9}},
        {stereo.build(), 0, {1, 255, 2, 254, 3, 253}},
        {odd, 0, {100, 0, 100, 0, 0x33}},
    };
    for (const auto& [bytes, note, data] : cases) {
        auto player = load(bytes);
        ASSERT_TRUE(player);
        EXPECT_EQ(mixer.bytesOf(player->instruments[0]->sampleForNote(note)->data), data) << note;
    }

    // Loops stay inside the data: past the end, beyond it, of length 0.
    const auto pcm = xmSquare(32).pcm;
    XmInstrumentDef ins =
        xmInstrument({.pcm = pcm, .loopType = 1, .loopStart = 16, .loopLength = 100});
    ins.samples.push_back({.pcm = pcm, .loopType = 1, .loopStart = 32, .loopLength = 8});
    ins.samples.push_back({.pcm = pcm, .loopType = 2});
    ins.noteMap[1] = 1;
    ins.noteMap[2] = 2;
    player = load(XmBuilder().instrument(ins).build());
    ASSERT_TRUE(player);
    const auto& looped = player->instruments[0]->samples;
    EXPECT_EQ(
        std::tuple(looped[0]->loops(), looped[0]->loopEnd, looped[1]->loops(), looped[2]->loops()),
        std::tuple(true, 32u, false, false));

    player = load(plain, true);
    ASSERT_TRUE(player);
    const XmSample& info = *player->instruments[0]->samples[0];
    EXPECT_EQ(std::tuple(player->song.infoOnly, info.length, info.present, bool(info.data)),
              std::tuple(true, 32u, true, false));
}

TEST(XmLoader, DamagedFiles) {
    const std::tuple<const char*, std::size_t, uint32_t, uint32_t> bad[] = {
        {"more than 32 channels", 68, 33, 2},
        {"no patterns", 70, 0, 2},
        {"no instruments", 72, 0, 2},
        {"header size below 4", 60, 3, 4},
        {"33 samples", firstInstrument + 27, 33, 2},
        {"pattern data past the end", 336 + 7, 0xFFFF, 2},
    };
    for (const auto& [what, at, value, width] : bad)
        EXPECT_FALSE(load(patched(plain, at, value, width))) << what;
    // Version 1.02 puts the patterns after the instruments: a cut inside the second is refused.
    auto cut =
        XmBuilder().version102().instrument(xmInstrument()).instrument(xmInstrument()).build();
    cut.resize(336 + 263 + 40 + 20);
    EXPECT_FALSE(load(cut));
    EXPECT_EQ(mixer.liveBlocks(), 0u);

    XmInstrumentDef ins = xmInstrument();
    ins.volumeEnvelope = {{{0, 64}, {10, 0}}, 0, 0, 0, 1};
    XmBuilder two = XmBuilder(4).orders({0, 1}).cell(0, 0, 0, xmNote(48, 1, 0x40, 0xA, 0x0F));
    two.cell(1, 5, 3, xmNote(50, 2)).instrument(ins).instrument(xmInstrument(xmSquare(64)));
    const auto whole = two.build();
    // Every shorter copy is refused or loads: sample data cut short keeps what the file holds,
    // a cut before it keeps what was complete, the first instrument once the second begins.
    const std::size_t data = whole.size() - 64, second = data - 263 - 40;
    for (std::size_t size = 0; size < whole.size(); ++size) {
        auto player = load(std::vector<uint8_t>(whole.begin(), whole.begin() + size));
        if (size >= second) {
            ASSERT_TRUE(player && player->instruments[0]) << size;
        }
        if (size >= data) {
            EXPECT_EQ(player->instruments[1]->samples[0]->length, size - data);
        } else if (player && player->instruments[1]) {
            EXPECT_FALSE(player->instruments[1]->samples[0]) << size;
        }
        player.reset();
        EXPECT_EQ(mixer.liveBlocks(), 0u);
    }
}

} // namespace
} // namespace tolva::test
