#include "formats/it/ItSampleDecompression.h"
#include "song/MemoryStream.h"
#include "support/ByteWriter.h"
#include "support/ItFileBuilder.h"
#include "support/SampleStoreMixer.h"

#include <cstring>
#include <gtest/gtest.h>
#include <tuple>
#include <vector>

namespace tolva::test {
namespace {

// Full-scale jumps, for the wrap at the sample width, then noise over the whole range.
std::vector<int32_t> wave(std::size_t count, bool sixteenBit, uint32_t seed = 1) {
    const int32_t top = sixteenBit ? 32767 : 127;
    std::vector<int32_t> v = {0, top, -top - 1, top, 0, 1, 0, -top - 1, -1, top, 3};
    while (v.size() < count) {
        seed = seed * 1103515245u + 12345u;
        v.push_back(static_cast<int32_t>(seed >> 16) % (2 * top + 2) - top - 1);
    }
    return v;
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

// Decodes one block of these codes into `count` values of type T; the value after them must
// stay untouched. The first entry of the result is whether the whole block decoded.
template <typename T> std::vector<int> decodeBits(const ItCodes& codes, uint32_t count) {
    const std::vector<uint8_t> block = packBits(codes);
    std::vector<T> out(count + 1, 0x55);
    const bool whole = decodeItBlock(block.data(), static_cast<uint32_t>(block.size()), out.data(),
                                     count, sizeof(T), false);
    EXPECT_EQ(out[count], 0x55);
    std::vector<int> values = {whole};
    values.insert(values.end(), out.begin(), out.end() - 1);
    return values;
}

// Each channel longer than two blocks, ending inside its third; the right channel's blocks
// follow the left's, and frames come out interleaved.
TEST(ItDecompression, EveryModeWidthChangesSignExtensionDamagedBlocksAndShortStreams) {
    for (bool sixteen : {false, true})
        for (bool doubleDelta : {false, true}) {
            SCOPED_TRACE(testing::Message() << "16-bit " << sixteen << " double " << doubleDelta);
            const uint32_t frames = sixteen ? 2 * 0x4000 + 1234 : 2 * 0x8000 + 77;
            const std::vector<int32_t> left = wave(frames, sixteen, 7);
            const std::vector<int32_t> right = wave(frames, sixteen, 99);
            std::vector<uint8_t> file = encodeItSample(left, sixteen, doubleDelta);
            const std::vector<uint8_t> rightFile = encodeItSample(right, sixteen, doubleDelta);
            file.insert(file.end(), rightFile.begin(), rightFile.end());
            ByteWriter pcm;
            for (uint32_t i = 0; i < frames; ++i)
                sixteen ? pcm.u16le(left[i], right[i]) : pcm.u8(left[i], right[i]);
            EXPECT_EQ(decompress(file, frames, sixteen, doubleDelta, true), pcm.bytes());
        }
    // Narrow widths (1 to 6) change with their top code and a width field; mid widths (7 and 8)
    // with the codes around the border; the top width with its top bit. 0x100 + n at width 9 sets
    // width n + 1, 0x10000 + n at width 17 width n + 1. Blocks that run out or widen past the top
    // hold their last value.
    // Width 16 (border 0x7FF7): 16 is not below 16, so width 17, where 0xFFFF is -1; 0x10006 sets
    // width 7 (border 55), 55 + 3 width 3, whose escape sets 16 + 1 = 17.
    const ItCodes borders16 = {{0x1000F, 17}, {0x8000 - 9, 16}, {0x7FF7 + 16, 16},
                               {0xFFFF, 17},  {0x10006, 17},    {55 + 3, 7},
                               {4, 3},        {15, 4},          {2, 17}};
    // Codes, 16-bit, and whether the block decoded whole followed by the values.
    const std::tuple<ItCodes, bool, std::vector<int>> cases[] = {
        // Width 6: 5, then 0x3F is -1.
        {{{0x105, 9}, {5, 6}, {0x3F, 6}}, false, {1, 5, 4}},
        // Width 3, where code 4 is the escape: deltas 0 1 2 3 -3 -2 -1.
        {{{0x102, 9}, {0, 3}, {1, 3}, {2, 3}, {3, 3}, {5, 3}, {6, 3}, {7, 3}},
         false,
         {1, 0, 1, 3, 6, 3, 1, 0}},
        // Width 5, escape; 4 + 1 = 5 is not below 5: width 6, where 0x21 is -31.
        {{{0x104, 9}, {16, 5}, {4, 3}, {0x21, 6}}, false, {1, -31}},
        // Width 5, escape to width 4: 0xF is -1.
        {{{0x104, 9}, {16, 5}, {3, 3}, {0xF, 4}, {7, 4}}, false, {1, -1, 6}},
        // Width 8 (border 123): 124 sets width 1, whose escape sets 7 + 1 = 8; 123 is the largest
        // value at width 8; 131 sets width 9, where 0x85 is -123.
        {{{0x107, 9}, {124, 8}, {0, 1}, {1, 1}, {6, 3}, {123, 8}, {131, 8}, {0x85, 9}},
         false,
         {1, 0, 123, 0}},
        // The integrator wraps at the sample width.
        {{{100, 9}, {100, 9}}, false, {1, 100, -56}},
        {borders16, true, {1, 0x7FF7, 0x7FF6, 0x7FF8}},
        // Width 3, then the data ends with one unused bit.
        {{{0x102, 9}, {3, 3}, {2, 3}}, false, {0, 3, 5, 5, 5, 5}},
        // 0x1FF would set width 256, 0x10011 width 18.
        {{{7, 9}, {0x1FF, 9}, {1, 9}}, false, {0, 7, 7, 7}},
        {{{0x10011, 17}, {0, 17}}, true, {0, 0, 0}}};
    for (const auto& [codes, sixteen, decoded] : cases) {
        const auto count = static_cast<uint32_t>(decoded.size() - 1);
        EXPECT_EQ(sixteen ? decodeBits<int16_t>(codes, count) : decodeBits<int8_t>(codes, count),
                  decoded);
    }
    int16_t silent[4] = {9, 9, 9, 9};
    EXPECT_FALSE(decodeItBlock(nullptr, 0, silent, 4, 2, true));
    EXPECT_EQ(silent[3], 0);
    const std::vector<uint8_t> file = encodeItSample(wave(3000, false), false, false);
    for (std::size_t keep :
         {std::size_t(0), std::size_t(1), std::size_t(2), file.size() / 2, file.size() - 1}) {
        const std::vector<uint8_t> part(file.begin(), file.begin() + std::ptrdiff_t(keep));
        EXPECT_TRUE(decompress(part, 3000, false, false).empty()) << keep;
    }
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
