// Resampling, volume and panning of single voices, checked against values worked out by hand.
// A 16-bit sample s at volume 64, gain 256, panned hard left adds 4 x s to the left channel.
#include "support/MixerHarness.h"

#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::test;

TEST(Resampling, ConstantAndRampSignalsAtAnyStep) {
    const std::vector<uint8_t> constant = words16(std::vector<int>(400, 1000));
    const std::vector<uint8_t> ramp = indexRamp16(300);
    for (uint32_t step : {0x10000u, 0x8000u, 0x25EB8u}) {
        SCOPED_TRACE(step);
        Voice flat = makeVoice(constant, 0, 800, 0, Voice16Bit, step);
        EXPECT_EQ(leftOf(mixFrames(&flat, 1, 100)), std::vector<int32_t>(100, 4000));
        // Linear interpolation: frame n sits at n x step, where the ramp holds 100 x that.
        std::vector<int32_t> expected;
        for (uint64_t n = 0; n < 100; ++n)
            expected.push_back(static_cast<int32_t>(100 * n * step / 16384));
        Voice rising = makeVoice(ramp, 0, 600, 0, Voice16Bit, step);
        EXPECT_EQ(leftOf(mixFrames(&rising, 1, 100)), expected);
    }
}

TEST(Resampling, InterpolationOffTakesTheLowerFrame) {
    const std::vector<uint8_t> data = words16({1000, 2000, 3000, 4000});
    for (const auto& [interpolate, left] : {std::pair{true, 7000}, std::pair{false, 4000}}) {
        Voice v = makeVoice(data, 0, 8, 0, Voice16Bit, 0);
        v.fraction = 0xC000;
        EXPECT_EQ(leftOf(mixFrames(&v, 1, 2, {.interpolate = interpolate})),
                  (std::vector<int32_t>{left, left}));
    }
}

TEST(Resampling, SampleFormatsVolumeAndPanning) {
    // 1000 and 500.
    const std::vector<uint8_t> pair = {0xE8, 0x03, 0xF4, 0x01};
    constexpr uint8_t S16 = Voice16Bit | VoiceStereo, Sur = Voice16Bit | VoiceSurround;
    const struct {
        const char* what;
        std::vector<uint8_t> frame;
        uint8_t flags, signFlip, volume, panning;
        std::vector<int32_t> out; // left, right
        MixOptions options = {};
    } cases[] = {
        // A byte is spread over 16 bits (x 257): signed 0 is 32896, just above silence.
        {"8-bit signed 0", {0}, 0, 0x80, 64, 0, {512, 0}},
        {"8-bit unsigned 0x80", {0x80}, 0, 0, 64, 0, {512, 0}},
        {"8-bit full scale", {0x7F}, 0, 0x80, 64, 0, {131068, 0}},
        {"16-bit unsigned silence", {0x00, 0x80}, Voice16Bit, 0, 64, 0, {0, 0}},
        {"loudest left", {0xFF, 0x7F}, Voice16Bit, 0x80, 255, 0, {522224, 0}},
        {"loudest right", {0x00, 0x80}, Voice16Bit, 0x80, 255, 255, {0, -522240}},
        {"centre", {0xE8, 0x03}, Voice16Bit, 0x80, 64, 128, {2000, 2000}},
        {"volume 0", {0xFF, 0x7F}, Voice16Bit, 0x80, 0, 0, {0, 0}},
        {"gain 0", {0xFF, 0x7F}, Voice16Bit, 0x80, 255, 0, {0, 0}, {.gain = 0}},
        // Stereo panning is a balance: at the centre each side goes to its own output; at 192
        // the left source is split half and half.
        {"stereo centre", pair, S16, 0x80, 64, 128, {4000, 2000}},
        {"stereo right", pair, S16, 0x80, 64, 255, {0, 6000}},
        {"stereo left", pair, S16, 0x80, 64, 0, {6000, 0}},
        {"stereo 192", pair, S16, 0x80, 64, 192, {2000, 4000}},
        {"8-bit stereo", {0x7F, 0x80}, VoiceStereo, 0x80, 64, 128, {131068, -131072}},
        {"surround", {0xE8, 0x03}, Sur, 0x80, 64, 128, {2000, -2000}},
        {"surround mono", {0xE8, 0x03}, Sur, 0x80, 64, 128, {2000, 2000}, {.forceMono = true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> data;
        for (int i = 0; i < 8; ++i)
            data.insert(data.end(), c.frame.begin(), c.frame.end());
        Voice v =
            makeVoice(data, 0, uint32_t(data.size()), 0, c.flags, 0x10000, c.volume, c.panning);
        v.signFlip = c.signFlip;
        EXPECT_EQ(mixFrames(&v, 1, 2, c.options),
                  (std::vector<int32_t>{c.out[0], c.out[1], c.out[0], c.out[1]}));
    }
}

TEST(Resampling, ManyVoicesAddUp) {
    std::vector<uint8_t> data[64];
    std::vector<Voice> voices;
    for (int i = 0; i < 64; ++i) {
        data[i] = words16(std::vector<int>(64, 100 * (i - 32)));
        voices.push_back(makeVoice(data[i], 0, 128, 0, Voice16Bit, 0x10000, 64, uint8_t(4 * i)));
    }
    std::vector<Voice> single = voices;
    std::vector<int32_t> sum(2 * 20, 0);
    for (Voice& v : single) {
        const std::vector<int32_t> one = mixFrames(&v, 1, 20);
        for (std::size_t i = 0; i < sum.size(); ++i)
            sum[i] += one[i];
    }
    EXPECT_EQ(mixFrames(voices.data(), 64, 20), sum);
    for (const Voice& v : voices)
        EXPECT_EQ(v.position, v.data + 40);
}
