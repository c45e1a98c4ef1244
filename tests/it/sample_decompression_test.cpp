#include "formats/it/ItSampleDecompression.h"
#include "song/MemoryStream.h"
#include "support/ItFileBuilder.h"
#include "support/SampleStoreMixer.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace tolva::test {
namespace {

// A wave with some noise, loud and quiet stretches, and full-scale jumps at its start.
std::vector<int32_t> wave(std::size_t count, bool sixteenBit, uint32_t seed = 1) {
    const int32_t top = sixteenBit ? 32767 : 127;
    std::vector<int32_t> v = {0, top, -top - 1, top, 0, 1, 0, -top - 1, -1, top, 3};
    for (std::size_t i = v.size(); i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        double noise = static_cast<double>((seed >> 16) & 0xFF) / 255.0 - 0.5;
        double loudness = (i / 3000) % 2 ? 0.95 : 0.05;
        v.push_back(
            static_cast<int32_t>(top * loudness * (std::sin(i * 0.05) * 0.9 + noise * 0.1)));
    }
    return v;
}

std::vector<uint8_t> pcmBytes(const std::vector<int32_t>& values, bool sixteenBit) {
    std::vector<uint8_t> out;
    for (int32_t v : values) {
        out.push_back(static_cast<uint8_t>(v));
        if (sixteenBit)
            out.push_back(static_cast<uint8_t>(v >> 8));
    }
    return out;
}

// The decoded bytes; empty when refused, and then nothing may stay allocated.
std::vector<uint8_t> decompress(std::vector<uint8_t> file, uint32_t frames, bool sixteenBit,
                                bool doubleDelta, bool stereo = false) {
    SampleStoreMixer mixer;
    MemoryStream stream(std::move(file));
    uint8_t* block =
        decompressItSample(mixer, stream, frames, sixteenBit ? 2 : 1, doubleDelta, stereo);
    EXPECT_TRUE(block || mixer.liveBlocks() == 0u);
    return block ? mixer.bytesOf(block) : std::vector<uint8_t>{};
}

// (value, width) codes, packed as a block's bit stream.
using Codes = std::vector<std::pair<uint32_t, uint32_t>>;

std::vector<uint8_t> pack(const Codes& codes) {
    BitWriter bits;
    for (auto [value, width] : codes)
        bits.put(value, width);
    return bits.finish();
}

std::vector<int8_t> decodeBits(const Codes& codes, uint32_t count) {
    std::vector<uint8_t> block = pack(codes);
    std::vector<int8_t> out(count);
    decodeItBlock(block.data(), static_cast<uint32_t>(block.size()), out.data(), count, 1, false);
    return out;
}

// Longer than two blocks, ending inside the third; in stereo the right channel's blocks follow
// the left's (each channel spans two blocks), and frames come out interleaved.
TEST(ItDecompression, EveryModeGivesBackThePcm) {
    for (bool sixteen : {false, true})
        for (bool doubleDelta : {false, true}) {
            SCOPED_TRACE(testing::Message() << "16-bit " << sixteen << " double " << doubleDelta);
            uint32_t frames = sixteen ? 2 * 0x4000 + 1234 : 2 * 0x8000 + 77;
            std::vector<int32_t> pcm = wave(frames, sixteen);
            EXPECT_EQ(
                decompress(encodeItSample(pcm, sixteen, doubleDelta), frames, sixteen, doubleDelta),
                pcmBytes(pcm, sixteen));
            frames = sixteen ? 0x4000 + 10 : 0x8000 + 10;
            const std::vector<int32_t> left = wave(frames, sixteen, 7);
            const std::vector<int32_t> right = wave(frames, sixteen, 99);
            std::vector<uint8_t> file = encodeItSample(left, sixteen, doubleDelta);
            const std::vector<uint8_t> rightFile = encodeItSample(right, sixteen, doubleDelta);
            file.insert(file.end(), rightFile.begin(), rightFile.end());
            pcm.clear();
            for (uint32_t i = 0; i < frames; ++i)
                pcm.insert(pcm.end(), {left[i], right[i]});
            EXPECT_EQ(decompress(file, frames, sixteen, doubleDelta, true), pcmBytes(pcm, sixteen));
        }
}

// Narrow widths (1 to 6) change with their top code and a width field; mid widths (7 and 8)
// with the codes around the border; the top width with its top bit. 0x100 + n at width 9 sets
// width n + 1.
TEST(ItDecompression, WidthChangesAndSignExtension) {
    const struct {
        Codes codes;
        std::vector<int8_t> values;
    } cases[] = {
        // Width 6: 5, then 0x3F is -1.
        {{{0x105, 9}, {5, 6}, {0x3F, 6}}, {5, 4}},
        // Width 3, where code 4 is the escape: deltas 0 1 2 3 -3 -2 -1.
        {{{0x102, 9}, {0, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 3}, {6, 3}, {7, 3}},
         {0, 1, 3, 6, 3, 1, 0}},
        // Width 5, escape; 4 + 1 = 5 is not below 5: width 6, where 0x21 is -31.
        {{{0x104, 9}, {16, 5}, {4, 3}, {0x21, 6}}, {-31}},
        // Width 5, escape to width 4: 0xF is -1.
        {{{0x104, 9}, {16, 5}, {3, 3}, {0xF, 4}, {7, 4}}, {-1, 6}},
        // Width 8 (border 123): 124 sets width 1, whose escape sets 7 + 1 = 8; 123 is the largest
        // value at width 8; 131 sets width 9, where 0x85 is -123.
        {{{0x107, 9}, {124, 8}, {0, 1}, {1, 1}, {6, 3}, {123, 8}, {131, 8}, {0x85, 9}},
         {0, 123, 0}},
        // The integrator wraps at the sample width.
        {{{100, 9}, {100, 9}}, {100, -56}}};
    for (const auto& c : cases)
        EXPECT_EQ(decodeBits(c.codes, static_cast<uint32_t>(c.values.size())), c.values);
}

// Width 16 (border 0x7FF7): 16 is not below 16, so width 17, where 0xFFFF is -1; 0x10006 sets
// width 7 (border 55), 55 + 3 width 3, whose escape sets 16 + 1 = 17.
TEST(ItDecompression, SixteenBitBordersAndEscapes) {
    const Codes codes = {{0x1000F, 17}, {0x8000 - 9, 16}, {0x7FF7 + 16, 16},
                         {0xFFFF, 17},  {0x10006, 17},    {55 + 3, 7},
                         {4, 3},        {15, 4},          {2, 17}};
    std::vector<uint8_t> block = pack(codes);
    int16_t out[3];
    EXPECT_TRUE(decodeItBlock(block.data(), static_cast<uint32_t>(block.size()), out, 3, 2, false));
    EXPECT_EQ(std::vector<int16_t>(out, out + 3), (std::vector<int16_t>{0x7FF7, 0x7FF6, 0x7FF8}));
}

TEST(ItDamagedBlocks, BlocksThatRunOutOrWidenPastTheTopHoldTheirLastValue) {
    // Width 3, then the byte ends with one unused bit.
    std::vector<uint8_t> block = pack({{0x102, 9}, {3, 3}, {2, 3}});
    ASSERT_EQ(block.size(), 2u);
    int8_t out[6];
    std::memset(out, 0x55, sizeof out);
    EXPECT_FALSE(decodeItBlock(block.data(), 2, out, 5, 1, false));
    EXPECT_EQ(std::vector<int8_t>(out, out + 6), (std::vector<int8_t>{3, 5, 5, 5, 5, 0x55}));
    int16_t silent[4] = {9, 9, 9, 9};
    EXPECT_FALSE(decodeItBlock(nullptr, 0, silent, 4, 2, true));
    EXPECT_EQ(silent[3], 0);
    // 0x1FF would set width 256; 0x10011 width 18.
    EXPECT_EQ(decodeBits({{7, 9}, {0x1FF, 9}, {1, 9}}, 3), (std::vector<int8_t>{7, 7, 7}));
    block = pack({{0x10011, 17}, {0, 17}});
    int16_t pair[2] = {5, 5};
    EXPECT_FALSE(
        decodeItBlock(block.data(), static_cast<uint32_t>(block.size()), pair, 2, 2, false));
    EXPECT_EQ(pair[1], 0);
}

TEST(ItDamagedBlocks, ShortStreamsAndImpossibleLengthsFailTheSample) {
    const std::vector<uint8_t> file = encodeItSample(wave(3000, false), false, false);
    for (std::size_t cut :
         {std::size_t(0), std::size_t(1), std::size_t(2), file.size() / 2, file.size() - 1})
        EXPECT_TRUE(
            decompress(std::vector<uint8_t>(file.begin(), file.begin() + std::ptrdiff_t(cut)), 3000,
                       false, false)
                .empty())
            << cut;
    // A stereo sample without its right channel.
    EXPECT_TRUE(
        decompress(encodeItSample(wave(1000, true), true, false), 1000, true, false, true).empty());
    // Ten bytes can never carry more than 80 values; 4 G frames would overflow a byte count.
    for (uint32_t frames : {81u, 0x40000000u, 0xFFFFFFFFu})
        EXPECT_TRUE(decompress(std::vector<uint8_t>(10, 0), frames, true, false, true).empty())
            << frames;
}

} // namespace
} // namespace tolva::test
