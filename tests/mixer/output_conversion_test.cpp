// The accumulator turned into output samples: scaling by the voice count, rounding,
// saturation, the sign convention, fold-down and channel swap.
#include "mixer/ConvertOutput.h"
#include "support/MixerHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

using namespace tolva;
using namespace tolva::test;

namespace {

struct Options {
    uint32_t voices = 4;
    bool signedOutput = true;
    bool forceMono = false;
    bool reverseStereo = false;
};

// Converts frames (left, right pairs) and answers the samples, sign-extended.
std::vector<int64_t> convert(const std::vector<int32_t>& frames, uint8_t bits, Options o = {}) {
    alignas(16) int32_t accumulator[64] = {};
    std::memcpy(accumulator, frames.data(), frames.size() * 4);
    const uint32_t count = static_cast<uint32_t>(frames.size() / 2);
    uint8_t out[64 * 4 + 1];
    std::memset(out, 0xEE, sizeof out);
    convertOutput(accumulator, out, count, o.voices, o.signedOutput, bits, o.forceMono,
                  o.reverseStereo);
    const std::size_t bytes = bits / 8;
    EXPECT_EQ(out[2 * count * bytes], 0xEE) << "wrote past the end";
    std::vector<int64_t> samples;
    for (std::size_t i = 0; i < 2 * count; ++i) {
        if (bits == 8)
            samples.push_back(o.signedOutput ? int8_t(out[i]) : out[i]);
        else if (bits == 16)
            samples.push_back(o.signedOutput ? int16_t(out[2 * i] | out[2 * i + 1] << 8)
                                             : uint16_t(out[2 * i] | out[2 * i + 1] << 8));
        else {
            int32_t v;
            std::memcpy(&v, out + 4 * i, 4);
            samples.push_back(o.signedOutput ? int64_t(v) : int64_t(uint32_t(v)));
        }
    }
    return samples;
}

} // namespace

TEST(OutputConversion, SaturatesEachWidthAtFullScale) {
    const std::vector<int32_t> loud = {524288, 524284, -524288, -524292};
    EXPECT_EQ(convert(loud, 16), (std::vector<int64_t>{32767, 32767, -32768, -32768}));
    EXPECT_EQ(convert(loud, 8), (std::vector<int64_t>{127, 127, -128, -128}));
    EXPECT_EQ(convert(loud, 32),
              (std::vector<int64_t>{0x7FFFFFFF, 0x7FFFC000, INT32_MIN, INT32_MIN}));
    // Far beyond: still clamped, not wrapped.
    EXPECT_EQ(convert({100000000, -100000000}, 16), (std::vector<int64_t>{32767, -32768}));
    EXPECT_EQ(convert({100000000, -100000000}, 32), (std::vector<int64_t>{0x7FFFFFFF, INT32_MIN}));
}

TEST(OutputConversion, DividesByFourTimesTheVoicesRoundingDown) {
    EXPECT_EQ(convert({16, -16, 5, -5}, 16), (std::vector<int64_t>{1, -1, 0, -1}));
    Options one;
    one.voices = 1;
    EXPECT_EQ(convert({4000, -4001}, 16, one), (std::vector<int64_t>{1000, -1001}));
    // 32-bit output carries the finer bits: the 16-bit value times 65536.
    EXPECT_EQ(convert({4000, 5}, 32, one), (std::vector<int64_t>{4000 * 16384, 5 * 16384}));
    EXPECT_EQ(convert({4096, -4096}, 8, one), (std::vector<int64_t>{4, -4}));
    Options many;
    many.voices = 64;
    EXPECT_EQ(convert({256000, -256000}, 16, many), (std::vector<int64_t>{1000, -1000}));
    // With no voices the accumulator holds nothing and the output is silence.
    Options none;
    none.voices = 0;
    EXPECT_EQ(convert({0, 0}, 16, none), (std::vector<int64_t>{0, 0}));
}

TEST(OutputConversion, SilenceAndSignConventions) {
    Options offsetBinary;
    offsetBinary.signedOutput = false;
    EXPECT_EQ(convert({0, 0}, 8, offsetBinary), (std::vector<int64_t>{0x80, 0x80}));
    EXPECT_EQ(convert({0, 0}, 16), (std::vector<int64_t>{0, 0}));
    EXPECT_EQ(convert({0, 0}, 32), (std::vector<int64_t>{0, 0}));
    EXPECT_EQ(convert({524288, -524288}, 8, offsetBinary), (std::vector<int64_t>{0xFF, 0x00}));
    EXPECT_EQ(convert({16, 0}, 16, offsetBinary), (std::vector<int64_t>{0x8001, 0x8000}));
    EXPECT_EQ(convert({0, 16}, 32, offsetBinary), (std::vector<int64_t>{0x80000000, 0x80010000}));
}

TEST(OutputConversion, FoldDownAndChannelSwap) {
    Options mono;
    mono.voices = 1;
    mono.forceMono = true;
    EXPECT_EQ(convert({1000, 3000, -4000, 0}, 16, mono),
              (std::vector<int64_t>{500, 500, -500, -500}));
    Options swapped;
    swapped.voices = 1;
    swapped.reverseStereo = true;
    EXPECT_EQ(convert({4000, 0, 8, -8}, 16, swapped), (std::vector<int64_t>{0, 1000, -2, 2}));
    EXPECT_EQ(convert({4096, 0}, 8, swapped), (std::vector<int64_t>{0, 4}));
    EXPECT_EQ(convert({4000, 0}, 32, swapped), (std::vector<int64_t>{0, 4000 * 16384}));
}

TEST(OutputConversion, OddFrameCountConvertsTheLastFrameAlone) {
    Options one;
    one.voices = 1;
    EXPECT_EQ(convert({4, 8, 12, 16, 20, 24}, 16, one), (std::vector<int64_t>{1, 2, 3, 4, 5, 6}));
    EXPECT_EQ(convert({4096, -4096, 8192, 0, 4096, 4096}, 8, one),
              (std::vector<int64_t>{4, -4, 8, 0, 4, 4}));
    EXPECT_EQ(convert({4, 8, 12}, 32, one).size(), 2u); // one frame of two samples
}

TEST(OutputConversion, RenderedVoicesThroughTheMixer) {
    // Surround cancels in the fold-down; a hard-left voice moves right when swapped.
    FakeOwner owner;
    MixerPtr mixer = makeMixer(owner);
    mixer->setRampingEnabled(false);
    const std::vector<uint8_t> data = words16(std::vector<int>(1000, 1000));
    startSample(*mixer, owner, 0, data, 2000, 0, Voice16Bit | VoiceSurround, 64, 128);
    mixer->setVoiceStep(0, 0x10000);
    std::vector<int16_t> out(8);
    RenderFormat format;
    EXPECT_EQ(mixer->render(4, out.data(), &format), 4u);
    EXPECT_EQ(out[0], 500);
    EXPECT_EQ(out[1], -500);
    format.forceMono = 1;
    mixer->render(4, out.data(), &format);
    EXPECT_EQ(out[0], 500);
    EXPECT_EQ(out[1], 500);
    mixer->setVoiceFlags(0, VoiceActive | Voice16Bit);
    mixer->setVoicePanning(0, 0);
    format.forceMono = 0;
    format.reverseStereo = 1;
    mixer->render(4, out.data(), &format);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], 1000);
}

TEST(OutputConversion, MatchesTheScalarFormulaOverTheWholeRange) {
    std::mt19937 rng(5);
    for (int round = 0; round < 20000; ++round) {
        Options o;
        o.voices = 1 + rng() % 64;
        o.forceMono = rng() % 2;
        static const uint8_t widths[] = {8, 16, 32};
        const uint8_t bits = widths[rng() % 3];
        const int32_t l = int32_t(int64_t(rng() % ((uint32_t(1) << 31) + (1u << 27))) - (1 << 27));
        const int32_t r =
            round % 2 ? l + int32_t(rng() % 64) - 32 : int32_t(rng() % 4000000) - 2000000;
        const uint64_t k = 0x80000000u / o.voices;
        uint64_t pl = uint64_t(uint32_t(l) + (1u << 27)) * k;
        uint64_t pr = uint64_t(uint32_t(r) + (1u << 27)) * k;
        if (o.forceMono)
            pl = pr = (pl + pr) >> 1;
        std::vector<int64_t> expected;
        for (uint64_t p : {pl, pr}) {
            const int32_t y =
                int32_t(uint32_t(p >> 31) - uint32_t(((uint64_t(1) << 27) * k) >> 31));
            const int64_t z = int64_t(p - (uint64_t(1) << 27) * k);
            if (bits == 16)
                expected.push_back(std::clamp(y >> 2, -32768, 32767));
            else if (bits == 8)
                expected.push_back(std::clamp(y >> 10, -128, 127));
            else
                expected.push_back((z >> 20) > 268435455 ? 0x7FFFFFFF
                                   : (z >> 20) <= -268435456
                                       ? INT32_MIN
                                       : int64_t(int32_t(uint32_t(uint64_t(z >> 17)))));
        }
        ASSERT_EQ(convert({l, r}, bits, o), expected) << l << " " << r << " " << int(bits);
    }
}
