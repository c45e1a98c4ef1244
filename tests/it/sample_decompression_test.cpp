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

std::vector<int8_t> decodeBits(const BitWriter& bits, uint32_t count, bool doubleDelta = false) {
    std::vector<uint8_t> block = bits.finish();
    std::vector<int8_t> out(count);
    decodeItBlock(block.data(), static_cast<uint32_t>(block.size()), out.data(), count, 1,
                  doubleDelta);
    return out;
}

TEST(ItDecompression, EveryModeGivesBackThePcm) {
    for (bool sixteen : {false, true})
        for (bool doubleDelta : {false, true}) {
            SCOPED_TRACE(testing::Message() << "16-bit " << sixteen << " double " << doubleDelta);
            // Longer than two blocks, ending inside the third.
            uint32_t frames = sixteen ? 2 * 0x4000 + 1234 : 2 * 0x8000 + 77;
            std::vector<int32_t> pcm = wave(frames, sixteen);
            EXPECT_EQ(
                decompress(encodeItSample(pcm, sixteen, doubleDelta), frames, sixteen, doubleDelta),
                pcmBytes(pcm, sixteen));
            // Stereo: the right channel's blocks follow the left's, and frames come out
            // interleaved.
            frames = sixteen ? 0x4000 + 10 : 0x8000 + 10; // each channel spans two blocks
            std::vector<int32_t> left = wave(frames, sixteen, 7);
            std::vector<int32_t> right = wave(frames, sixteen, 99);
            std::vector<uint8_t> file = encodeItSample(left, sixteen, doubleDelta);
            std::vector<uint8_t> rightFile = encodeItSample(right, sixteen, doubleDelta);
            file.insert(file.end(), rightFile.begin(), rightFile.end());
            std::vector<int32_t> interleaved;
            for (uint32_t i = 0; i < frames; ++i)
                interleaved.insert(interleaved.end(), {left[i], right[i]});
            EXPECT_EQ(decompress(file, frames, sixteen, doubleDelta, true),
                      pcmBytes(interleaved, sixteen));
        }
}

// Narrow widths (1 to 6) change with their top code and a width field; mid widths (7 and 8)
// with the codes around the border; the top width with its top bit.
TEST(ItDecompression, WidthChangesAndSignExtension) {
    BitWriter escape;
    escape.put(0x105, 9); // width 6
    escape.put(5, 6);
    escape.put(0x3F, 6); // -1
    BitWriter narrow;
    narrow.put(0x102, 9); // width 3: code 4 is the escape
    for (uint32_t code : {0, 1, 2, 3, 5, 6, 7})
        narrow.put(code, 3); // deltas 0 1 2 3 -3 -2 -1
    BitWriter up;
    up.put(0x104, 9);    // width 5
    up.put(16, 5);       // escape
    up.put(4, 3);        // 4 + 1 = 5 is not below 5: width 6
    up.put(0x20 | 1, 6); // a 6-bit code: 0x21 is -31
    BitWriter down;
    down.put(0x104, 9);
    down.put(16, 5);
    down.put(3, 3);   // width 4
    down.put(0xF, 4); // -1 in 4 bits
    down.put(7, 4);
    BitWriter mid;
    mid.put(0x107, 9); // width 8: border 123
    mid.put(124, 8);   // 1: width 1
    mid.put(0, 1);
    mid.put(1, 1);    // escape at width 1
    mid.put(6, 3);    // 7 + 1 = 8
    mid.put(123, 8);  // largest positive value at width 8
    mid.put(131, 8);  // 8 is not below 8: width 9
    mid.put(0x85, 9); // -123
    BitWriter wrap;
    wrap.put(100, 9);
    wrap.put(100, 9); // the integrator wraps at the sample width
    const struct {
        const BitWriter& bits;
        std::vector<int8_t> values;
    } cases[] = {{escape, {5, 4}},   {narrow, {0, 1, 3, 6, 3, 1, 0}},
                 {up, {-31}},        {down, {-1, 6}},
                 {mid, {0, 123, 0}}, {wrap, {100, -56}}};
    for (const auto& c : cases)
        EXPECT_EQ(decodeBits(c.bits, static_cast<uint32_t>(c.values.size())), c.values);
}

TEST(ItDecompression, SixteenBitBordersAndEscapes) {
    BitWriter bits;
    bits.put(0x1000F, 17); // width 16: border 0x7FF7
    bits.put(0x8000 - 9, 16);
    bits.put(0x7FF7 + 16, 16); // 16 is not below 16: width 17
    bits.put(0xFFFF, 17);      // -1
    bits.put(0x10006, 17);     // width 7: border 55
    bits.put(55 + 3, 7);       // width 3
    bits.put(4, 3);            // escape
    bits.put(15, 4);           // 16 + 1 = 17
    bits.put(2, 17);
    std::vector<uint8_t> block = bits.finish();
    int16_t out[3];
    EXPECT_TRUE(decodeItBlock(block.data(), static_cast<uint32_t>(block.size()), out, 3, 2, false));
    EXPECT_EQ(std::vector<int16_t>(out, out + 3), (std::vector<int16_t>{0x7FF7, 0x7FF6, 0x7FF8}));
}

TEST(ItDamagedBlocks, BlocksThatRunOutOrWidenPastTheTopHoldTheirLastValue) {
    BitWriter bits;
    bits.put(0x102, 9); // width 3
    bits.put(3, 3);
    bits.put(2, 3); // then the byte ends with one unused bit
    std::vector<uint8_t> block = bits.finish();
    ASSERT_EQ(block.size(), 2u);
    int8_t out[6];
    std::memset(out, 0x55, sizeof out);
    EXPECT_FALSE(decodeItBlock(block.data(), 2, out, 5, 1, false));
    EXPECT_EQ(std::vector<int8_t>(out, out + 6), (std::vector<int8_t>{3, 5, 5, 5, 5, 0x55}));
    int16_t silent[4] = {9, 9, 9, 9};
    EXPECT_FALSE(decodeItBlock(nullptr, 0, silent, 4, 2, true));
    EXPECT_EQ(silent[3], 0);
    BitWriter wider;
    wider.put(7, 9);
    wider.put(0x1FF, 9); // would be width 256
    wider.put(1, 9);
    EXPECT_EQ(decodeBits(wider, 3), (std::vector<int8_t>{7, 7, 7}));
    BitWriter wide;
    wide.put(0x10011, 17); // width 18
    wide.put(0, 17);
    block = wide.finish();
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
