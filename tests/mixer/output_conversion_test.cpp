// The accumulator turned into output samples: scaling by the voice count, rounding,
// saturation, the sign convention, fold-down and channel swap.
#include "mixer/ConvertOutput.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <vector>

using namespace tolva;

namespace {

struct Options {
    uint32_t voices = 4;
    bool signedOutput = true;
    bool forceMono = false;
    bool reverseStereo = false;
};

// Converts frames (left, right pairs) and answers the samples, sign-extended.
std::vector<int64_t> convert(const std::vector<int32_t>& frames, uint8_t bits, Options o = {},
                             VectorWidth width = VectorWidth::Sse2) {
    alignas(16) int32_t accumulator[64] = {};
    std::memcpy(accumulator, frames.data(), frames.size() * 4);
    const uint32_t count = static_cast<uint32_t>(frames.size() / 2);
    uint8_t out[64 * 4 + 1];
    std::memset(out, 0xEE, sizeof out);
    convertOutput(accumulator, out, count, o.voices, o.signedOutput, bits, o.forceMono,
                  o.reverseStereo, width);
    const std::size_t bytes = bits / 8;
    EXPECT_EQ(out[2 * count * bytes], 0xEE) << "wrote past the end";
    std::vector<int64_t> samples(2 * count);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        for (std::size_t b = 0; b < bytes; ++b)
            samples[i] |= int64_t{out[bytes * i + b]} << (8 * b);
        if (o.signedOutput && samples[i] >> (bits - 1))
            samples[i] -= int64_t{1} << bits;
    }
    return samples;
}

} // namespace

TEST(OutputConversion, Cases) {
    constexpr Options one{.voices = 1};
    constexpr Options offsetBinary{.signedOutput = false};
    constexpr Options mono{.voices = 1, .forceMono = true};
    constexpr Options swapped{.voices = 1, .reverseStereo = true};
    const struct {
        uint8_t bits;
        Options o;
        std::vector<int32_t> in;
        std::vector<int64_t> out;
    } cases[] = {
        // Saturated at full scale, also far beyond it.
        {16, {}, {524288, 524284, -524288, -524292}, {32767, 32767, -32768, -32768}},
        {8, {}, {524288, 524284, -524288, -524292}, {127, 127, -128, -128}},
        {32, {}, {524288, 524284}, {0x7FFFFFFF, 0x7FFFC000}},
        {32, {}, {-524288, -524292}, {INT32_MIN, INT32_MIN}},
        {16, {}, {100000000, -100000000}, {32767, -32768}},
        {32, {}, {100000000, -100000000}, {0x7FFFFFFF, INT32_MIN}},
        // Divided by four times the voices, rounding down; 32 bits carry 16384 x the level.
        {16, {}, {16, -16, 5, -5}, {1, -1, 0, -1}},
        {16, one, {4000, -4001}, {1000, -1001}},
        {32, one, {4000, 5}, {4000 * 16384, 5 * 16384}},
        {8, one, {4096, -4096}, {4, -4}},
        {16, {.voices = 64}, {256000, -256000}, {1000, -1000}},
        {16, {.voices = 0}, {0, 0}, {0, 0}},
        // Silence and the sign conventions.
        {8, offsetBinary, {0, 0}, {0x80, 0x80}},
        {16, {}, {0, 0}, {0, 0}},
        {32, {}, {0, 0}, {0, 0}},
        {8, offsetBinary, {524288, -524288}, {0xFF, 0x00}},
        {16, offsetBinary, {16, 0}, {0x8001, 0x8000}},
        {32, offsetBinary, {0, 16}, {0x80000000, 0x80010000}},
        // Fold-down and channel swap.
        {16, mono, {1000, 3000, -4000, 0}, {500, 500, -500, -500}},
        {16, swapped, {4000, 0, 8, -8}, {0, 1000, -2, 2}},
        {8, swapped, {4096, 0}, {0, 4}},
        {32, swapped, {4000, 0}, {0, 4000 * 16384}},
        // An odd frame count converts the last frame alone.
        {16, one, {4, 8, 12, 16, 20, 24}, {1, 2, 3, 4, 5, 6}},
        {8, one, {4096, -4096, 8192, 0, 4096, 4096}, {4, -4, 8, 0, 4, 4}},
        {32, one, {4, 8, 12, 16, 20, 24}, {65536, 131072, 196608, 262144, 327680, 393216}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(convert(c.in, c.bits, c.o), c.out) << int(c.bits) << " " << c.in[0];
}

// Thirteen frames at a time, so that wider loops take eight, then four, and leave one.
TEST(OutputConversion, MatchesTheScalarFormulaOverTheWholeRange) {
    std::mt19937 rng(5);
    for (int round = 0; round < 20000; ++round) {
        Options o;
        o.voices = 1 + rng() % 64;
        o.forceMono = rng() % 2;
        o.reverseStereo = round % 3 == 0;
        o.signedOutput = round % 5 != 0;
        static const uint8_t widths[] = {8, 16, 32};
        const uint8_t bits = widths[rng() % 3];
        std::vector<int32_t> frames;
        std::vector<int64_t> expected;
        for (int frame = 0; frame < 13; ++frame) {
            const int32_t l =
                int32_t(int64_t(rng() % ((uint32_t(1) << 31) + (1u << 27))) - (1 << 27));
            const int32_t r =
                round % 2 ? l + int32_t(rng() % 64) - 32 : int32_t(rng() % 4000000) - 2000000;
            frames.insert(frames.end(), {l, r});
            const uint64_t k = 0x80000000u / o.voices;
            uint64_t pl = uint64_t(uint32_t(l) + (1u << 27)) * k;
            uint64_t pr = uint64_t(uint32_t(r) + (1u << 27)) * k;
            if (o.forceMono)
                pl = pr = (pl + pr) >> 1;
            if (o.reverseStereo)
                std::swap(pl, pr);
            for (uint64_t p : {pl, pr}) {
                const int32_t y =
                    int32_t(uint32_t(p >> 31) - uint32_t(((uint64_t(1) << 27) * k) >> 31));
                const int64_t z = int64_t(p - (uint64_t(1) << 27) * k);
                const int64_t sample = bits == 16              ? std::clamp(y >> 2, -32768, 32767)
                                       : bits == 8             ? std::clamp(y >> 10, -128, 127)
                                       : (z >> 20) > 268435455 ? 0x7FFFFFFF
                                       : (z >> 20) <= -268435456
                                           ? INT32_MIN
                                           : int64_t(int32_t(uint32_t(uint64_t(z >> 17))));
                expected.push_back(sample + (o.signedOutput ? 0 : int64_t(1) << (bits - 1)));
            }
        }
        for (VectorWidth width : {VectorWidth::Sse2, widestVectors()})
            ASSERT_EQ(convert(frames, bits, o, width), expected) << int(bits);
    }
}

TEST(OutputConversion, FloatsAndStereoSeparation) {
    // Floats reach 1.0 where 16-bit output reaches 32768: at 131072 x the voices, unsaturated;
    // an odd frame count converts the last frame alone.
    const struct {
        uint32_t voices;
        bool mono, swapped;
        std::vector<float> out;
    } floats[] = {
        {1, false, false, {1.0f, -0.5f, 2.0f, 0.0f, 1 / 32768.0f}},
        {2, false, false, {0.5f, -0.25f, 1.0f, 0.0f, 1 / 65536.0f}},
        {1, true, false, {0.25f, 0.25f, 1.0f, 1.0f, 1 / 65536.0f}},
        {1, false, true, {-0.5f, 1.0f, 0.0f, 2.0f, 0.0f}},
    };
    for (const auto& c : floats) {
        alignas(16) const int32_t accumulator[6] = {131072, -65536, 262144, 0, 4, 0};
        std::vector<float> out(6, 7.0f);
        convertFloatOutput(accumulator, out.data(), 3, c.voices, c.mono, c.swapped);
        EXPECT_EQ(std::vector<float>(out.begin(), out.begin() + 5), c.out) << c.voices;
    }
    // Left 4000, right 0: the mean 2000 and the half difference 2000 x percent / 100 around it,
    // rounded down.
    const std::pair<uint32_t, std::vector<int32_t>> separations[] = {
        {0, {2000, 2000, -3, -3}},
        {50, {3000, 1000, -2, -4}},
        {100, {4000, 0, -1, -4}},
        {200, {6000, -2000, 0, -6}},
    };
    for (const auto& [percent, expected] : separations) {
        std::vector<int32_t> frames = {4000, 0, -1, -4};
        separateStereo(frames.data(), 2, percent);
        EXPECT_EQ(frames, expected) << percent;
    }
}
