#include "formats/it/ItSampleDecompression.h"
#include "song/MemoryStream.h"
#include "support/ItSampleEncoder.h"
#include "support/SampleStoreMixer.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace tolva;
using test::BitWriter;
using test::ItEncodeOptions;

namespace {

// A wave with some noise: deltas of every size, so every code width gets used.
std::vector<int32_t> wave(std::size_t count, bool sixteenBit, uint32_t seed = 1) {
    std::vector<int32_t> v(count);
    double amplitude = sixteenBit ? 30000.0 : 120.0;
    for (std::size_t i = 0; i < count; ++i) {
        seed = seed * 1103515245u + 12345u;
        double noise = static_cast<double>((seed >> 16) & 0xFF) / 255.0 - 0.5;
        double envelope = (i / 3000) % 2 ? 1.0 : 0.05; // loud and quiet stretches
        v[i] =
            static_cast<int32_t>(amplitude * envelope * (std::sin(i * 0.05) * 0.9 + noise * 0.1));
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

std::vector<uint8_t> decompress(test::SampleStoreMixer& mixer, std::vector<uint8_t> file,
                                uint32_t frames, bool sixteenBit, bool doubleDelta,
                                bool stereo = false) {
    MemoryStream stream(std::move(file));
    uint8_t* block =
        decompressItSample(mixer, stream, frames, sixteenBit ? 2 : 1, doubleDelta, stereo);
    if (!block)
        return {};
    return mixer.bytesOf(block);
}

std::vector<int8_t> decodeBits(const BitWriter& bits, uint32_t count, bool doubleDelta = false) {
    std::vector<uint8_t> block = bits.finish();
    std::vector<int8_t> out(count);
    decodeItBlock(block.data(), static_cast<uint32_t>(block.size()), out.data(), count, 1,
                  doubleDelta);
    return out;
}

} // namespace

TEST(ItDecompressionRoundTrip, EveryModeGivesBackThePcm) {
    for (bool sixteen : {false, true})
        for (bool doubleDelta : {false, true})
            for (bool changeWidths : {false, true}) {
                SCOPED_TRACE(testing::Message() << "16-bit " << sixteen << " double " << doubleDelta
                                                << " widths " << changeWidths);
                // Longer than two blocks, ending inside the third.
                uint32_t frames = sixteen ? 2 * 0x4000 + 1234 : 2 * 0x8000 + 77;
                std::vector<int32_t> pcm = wave(frames, sixteen);
                ItEncodeOptions options{sixteen, doubleDelta, changeWidths};
                test::SampleStoreMixer mixer;
                EXPECT_EQ(decompress(mixer, test::encodeItSample(pcm, options), frames, sixteen,
                                     doubleDelta),
                          pcmBytes(pcm, sixteen));
            }
}

TEST(ItDecompressionRoundTrip, FullScaleJumpsUseTheTopWidth) {
    for (bool sixteen : {false, true}) {
        int32_t top = sixteen ? 32767 : 127;
        std::vector<int32_t> pcm = {0, top, -top - 1, top, 0, 1, 0, -top - 1, -1, top, 3};
        for (bool doubleDelta : {false, true}) {
            test::SampleStoreMixer mixer;
            ItEncodeOptions options{sixteen, doubleDelta, true};
            EXPECT_EQ(decompress(mixer, test::encodeItSample(pcm, options),
                                 static_cast<uint32_t>(pcm.size()), sixteen, doubleDelta),
                      pcmBytes(pcm, sixteen));
        }
    }
}

TEST(ItDecompressionRoundTrip, FortyThousandFramesAreExactlyTwoBlocks) {
    std::vector<int32_t> pcm = wave(40000, false);
    std::vector<uint8_t> file = test::encodeItSample(pcm, {});
    uint32_t first = file[0] | file[1] << 8;
    uint32_t second = file[2 + first] | file[3 + first] << 8;
    ASSERT_EQ(file.size(), 4 + first + second); // the encoder split 32768 + 7232
    test::SampleStoreMixer mixer;
    EXPECT_EQ(decompress(mixer, file, 40000, false, false), pcmBytes(pcm, false));
}

TEST(ItDecompressionRoundTrip, StereoChannelsFollowEachOtherAndComeOutInterleaved) {
    for (bool sixteen : {false, true}) {
        uint32_t frames = sixteen ? 0x4000 + 10 : 0x8000 + 10; // each channel spans two blocks
        std::vector<int32_t> left = wave(frames, sixteen, 7);
        std::vector<int32_t> right = wave(frames, sixteen, 99);
        for (int32_t& v : right)
            v = -v / 2;
        ItEncodeOptions options{sixteen, true, true};
        std::vector<uint8_t> file = test::encodeItSample(left, options);
        std::vector<uint8_t> rightFile = test::encodeItSample(right, options);
        file.insert(file.end(), rightFile.begin(), rightFile.end());
        std::vector<int32_t> interleaved;
        for (uint32_t i = 0; i < frames; ++i) {
            interleaved.push_back(left[i]);
            interleaved.push_back(right[i]);
        }
        test::SampleStoreMixer mixer;
        EXPECT_EQ(decompress(mixer, file, frames, sixteen, true, true),
                  pcmBytes(interleaved, sixteen));
    }
}

TEST(ItBlockCodes, NineBitEscapeNarrowsTheWidthWithoutAValue) {
    BitWriter bits;
    bits.put(0x105, 9); // width 6
    bits.put(5, 6);
    bits.put(0x3F, 6); // -1
    EXPECT_EQ(decodeBits(bits, 2), (std::vector<int8_t>{5, 4}));
}

TEST(ItBlockCodes, NarrowCodesAreSignExtendedAroundTheEscape) {
    BitWriter bits;
    bits.put(0x102, 9); // width 3: code 4 is the escape
    for (uint32_t code : {0, 1, 2, 3, 5, 6, 7})
        bits.put(code, 3);
    // Deltas 0 1 2 3 -3 -2 -1.
    EXPECT_EQ(decodeBits(bits, 7), (std::vector<int8_t>{0, 1, 3, 6, 3, 1, 0}));
}

TEST(ItBlockCodes, AWidthAtOrAboveTheOldOneSkipsIt) {
    BitWriter up;
    up.put(0x104, 9);    // width 5
    up.put(16, 5);       // escape
    up.put(4, 3);        // 4 + 1 = 5 is not below 5: width 6
    up.put(0x20 | 1, 6); // a 6-bit code: 0x21 is -31
    EXPECT_EQ(decodeBits(up, 1), (std::vector<int8_t>{-31}));

    BitWriter down;
    down.put(0x104, 9);
    down.put(16, 5);
    down.put(3, 3);   // width 4
    down.put(0xF, 4); // -1 in 4 bits
    down.put(7, 4);
    EXPECT_EQ(decodeBits(down, 2), (std::vector<int8_t>{-1, 6}));
}

TEST(ItBlockCodes, MidWidthsChangeOnTheCodesAroundTheBorder) {
    BitWriter bits;
    bits.put(0x107, 9); // width 8: border 123
    bits.put(124, 8);   // 1: width 1
    bits.put(0, 1);
    bits.put(1, 1);    // escape at width 1
    bits.put(6, 3);    // 7 + 1 = 8
    bits.put(123, 8);  // largest positive value at width 8
    bits.put(131, 8);  // 8 is not below 8: width 9
    bits.put(0x85, 9); // -123
    EXPECT_EQ(decodeBits(bits, 3), (std::vector<int8_t>{0, 123, 0}));
}

TEST(ItBlockCodes, SixteenBitBordersAndEscapes) {
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
    EXPECT_EQ(out[0], 0x7FF7);
    EXPECT_EQ(out[1], 0x7FF6);
    EXPECT_EQ(out[2], 0x7FF8);
}

TEST(ItBlockCodes, DoubleDeltaIntegratesTwice) {
    BitWriter bits;
    for (int i = 0; i < 3; ++i)
        bits.put(1, 9);
    EXPECT_EQ(decodeBits(bits, 3, false), (std::vector<int8_t>{1, 2, 3}));
    EXPECT_EQ(decodeBits(bits, 3, true), (std::vector<int8_t>{1, 3, 6}));
}

TEST(ItBlockCodes, IntegratorsWrapAtTheSampleWidth) {
    BitWriter bits;
    bits.put(100, 9);
    bits.put(100, 9);
    EXPECT_EQ(decodeBits(bits, 2), (std::vector<int8_t>{100, -56}));
}

TEST(ItDamagedBlocks, ABlockThatRunsOutOfBitsHoldsItsLastValue) {
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
}

TEST(ItDamagedBlocks, AnEmptyBlockDecodesToSilence) {
    int16_t out[4] = {9, 9, 9, 9};
    EXPECT_FALSE(decodeItBlock(nullptr, 0, out, 4, 2, true));
    EXPECT_EQ(out[3], 0);
}

TEST(ItDamagedBlocks, WidthsBeyondTheTopEndTheBlock) {
    BitWriter bits;
    bits.put(7, 9);
    bits.put(0x1FF, 9); // would be width 256
    bits.put(1, 9);
    std::vector<int8_t> got = decodeBits(bits, 3);
    EXPECT_EQ(got, (std::vector<int8_t>{7, 7, 7}));

    BitWriter wide;
    wide.put(0x10011, 17); // width 18
    wide.put(0, 17);
    std::vector<uint8_t> block = wide.finish();
    int16_t out[2] = {5, 5};
    EXPECT_FALSE(
        decodeItBlock(block.data(), static_cast<uint32_t>(block.size()), out, 2, 2, false));
    EXPECT_EQ(out[1], 0);
}

TEST(ItDamagedStreams, ShortBlockHeadersAndBodiesFailTheSample) {
    std::vector<int32_t> pcm = wave(3000, false);
    std::vector<uint8_t> file = test::encodeItSample(pcm, {});
    for (std::size_t cut :
         {std::size_t(0), std::size_t(1), std::size_t(2), file.size() / 2, file.size() - 1}) {
        test::SampleStoreMixer mixer;
        std::vector<uint8_t> shortFile(file.begin(),
                                       file.begin() + static_cast<std::ptrdiff_t>(cut));
        EXPECT_TRUE(decompress(mixer, shortFile, 3000, false, false).empty()) << cut;
        EXPECT_EQ(mixer.liveBlocks(), 0u);
    }
}

TEST(ItDamagedStreams, MissingRightChannelFailsAStereoSample) {
    std::vector<int32_t> pcm = wave(1000, true);
    test::SampleStoreMixer mixer;
    EXPECT_TRUE(
        decompress(mixer, test::encodeItSample(pcm, {true, false, true}), 1000, true, false, true)
            .empty());
}

TEST(ItDamagedStreams, LengthsTheFileCannotHoldAreRefusedBeforeAllocating) {
    // Ten bytes can never carry more than 80 values; 4 G frames would overflow a byte count.
    std::vector<uint8_t> file(10, 0);
    for (uint32_t frames : {81u, 0x40000000u, 0xFFFFFFFFu}) {
        test::SampleStoreMixer mixer;
        EXPECT_TRUE(decompress(mixer, file, frames, true, false, true).empty()) << frames;
    }
}
