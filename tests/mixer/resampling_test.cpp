// Resampling, volume and panning of single voices, checked against values worked out by hand.
// A 16-bit sample s at volume 64, gain 256, panned hard left adds 4 x s to the left channel.
#include "support/MixerHarness.h"

#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::test;

namespace {

constexpr uint32_t Step1 = 0x10000;
constexpr uint32_t StepHalf = 0x8000;
constexpr uint32_t Step237 = 0x25EB8; // 2.37

std::vector<int32_t> playLeft(const std::vector<uint8_t>& data, uint32_t step, uint32_t frames,
                              const MixOptions& options = {}) {
    Voice v = makeVoice(data, 0, static_cast<uint32_t>(data.size()), 0, Voice16Bit, step);
    return leftOf(mixFrames(&v, 1, frames, options));
}

} // namespace

TEST(Resampling, ConstantSignalAtAnyStep) {
    const std::vector<uint8_t> data = words16(std::vector<int>(400, 1000));
    for (uint32_t step : {Step1, StepHalf, Step237}) {
        SCOPED_TRACE(step);
        EXPECT_EQ(playLeft(data, step, 100), std::vector<int32_t>(100, 4000));
    }
}

TEST(Resampling, RampSignalIsInterpolatedLinearly) {
    const std::vector<uint8_t> data = indexRamp16(300);
    for (uint32_t step : {Step1, StepHalf, Step237}) {
        SCOPED_TRACE(step);
        std::vector<int32_t> expected;
        for (uint64_t n = 0; n < 100; ++n)
            expected.push_back(static_cast<int32_t>(100 * n * step / 16384));
        EXPECT_EQ(playLeft(data, step, 100), expected);
    }
    // Spot values at 2.37: position 2.37 lies 37% of the way from 200 to 300.
    EXPECT_EQ(playLeft(data, Step237, 4), (std::vector<int32_t>{0, 947, 1895, 2843}));
}

TEST(Resampling, InterpolationOffTakesTheLowerFrame) {
    const std::vector<uint8_t> data = words16({1000, 2000, 3000, 4000});
    Voice on = makeVoice(data, 0, 8, 0, Voice16Bit, 0);
    on.fraction = 0xC000;
    Voice off = on;
    MixOptions noInterpolation;
    noInterpolation.interpolate = false;
    EXPECT_EQ(leftOf(mixFrames(&on, 1, 2)), (std::vector<int32_t>{7000, 7000}));
    EXPECT_EQ(leftOf(mixFrames(&off, 1, 2, noInterpolation)), (std::vector<int32_t>{4000, 4000}));
}

TEST(Resampling, EightBitDataAndSignConventions) {
    // A byte is spread over 16 bits (x 257): signed 0 is 32896, just above the silence level.
    const std::vector<uint8_t> zeros(64, 0);
    Voice v = makeVoice(zeros, 0, 64, 0, 0, Step1);
    EXPECT_EQ(mixFrames(&v, 1, 2), (std::vector<int32_t>{512, 0, 512, 0}));
    // Unsigned 0x80 is the same level; signed 0x7F is full scale.
    const std::vector<uint8_t> mid(64, 0x80), top(64, 0x7F);
    Voice u = makeVoice(mid, 0, 64, 0, 0, Step1);
    u.signFlip = 0;
    EXPECT_EQ(leftOf(mixFrames(&u, 1, 2)), (std::vector<int32_t>{512, 512}));
    Voice t = makeVoice(top, 0, 64, 0, 0, Step1);
    EXPECT_EQ(leftOf(mixFrames(&t, 1, 2)), (std::vector<int32_t>{131068, 131068}));
    // Unsigned 16-bit data: 0x8000 is silence.
    const std::vector<uint8_t> silence = words16(std::vector<int>(8, 0x8000));
    Voice w = makeVoice(silence, 0, 16, 0, Voice16Bit, Step1);
    w.signFlip = 0;
    EXPECT_EQ(mixFrames(&w, 1, 2), (std::vector<int32_t>{0, 0, 0, 0}));
}

TEST(Resampling, VolumeAndPanningExtremes) {
    const std::vector<uint8_t> high = words16(std::vector<int>(8, 32767));
    const std::vector<uint8_t> low = words16(std::vector<int>(8, -32768));
    const std::vector<uint8_t> some = words16(std::vector<int>(8, 1000));
    Voice loudLeft = makeVoice(high, 0, 16, 0, Voice16Bit, Step1, 255, 0);
    EXPECT_EQ(mixFrames(&loudLeft, 1, 2), (std::vector<int32_t>{522224, 0, 522224, 0}));
    Voice loudRight = makeVoice(low, 0, 16, 0, Voice16Bit, Step1, 255, 255);
    EXPECT_EQ(mixFrames(&loudRight, 1, 2), (std::vector<int32_t>{0, -522240, 0, -522240}));
    Voice centre = makeVoice(some, 0, 16, 0, Voice16Bit, Step1, 64, 128);
    EXPECT_EQ(mixFrames(&centre, 1, 2), (std::vector<int32_t>{2000, 2000, 2000, 2000}));
    Voice mute = makeVoice(high, 0, 16, 0, Voice16Bit, Step1, 0, 0);
    EXPECT_EQ(mixFrames(&mute, 1, 2), (std::vector<int32_t>{0, 0, 0, 0}));
    EXPECT_EQ(mute.position, mute.data + 4); // silent voices still move
    MixOptions noGain;
    noGain.gain = 0;
    Voice quiet = makeVoice(high, 0, 16, 0, Voice16Bit, Step1, 255, 0);
    EXPECT_EQ(mixFrames(&quiet, 1, 2, noGain), (std::vector<int32_t>{0, 0, 0, 0}));
}

TEST(Resampling, StereoPanningIsABalance) {
    const std::vector<uint8_t> data = words16({1000, 500, 1000, 500, 1000, 500, 1000, 500});
    auto play = [&](uint8_t panning) {
        Voice v = makeVoice(data, 0, 16, 0, Voice16Bit | VoiceStereo, Step1, 64, panning);
        const std::vector<int32_t> out = mixFrames(&v, 1, 2);
        return std::vector<int32_t>(out.begin(), out.begin() + 2);
    };
    // Centre: each side to its own output at full level.
    EXPECT_EQ(play(128), (std::vector<int32_t>{4000, 2000}));
    // Fully right: the left source moves entirely to the right output.
    EXPECT_EQ(play(255), (std::vector<int32_t>{0, 6000}));
    EXPECT_EQ(play(0), (std::vector<int32_t>{6000, 0}));
    // Panning 192 (P = 192): the left source is split half and half.
    EXPECT_EQ(play(192), (std::vector<int32_t>{2000, 4000}));

    // 8-bit stereo reads both bytes of a frame.
    const std::vector<uint8_t> bytes = bytesOf({0x7F, 0x80, 0x7F, 0x80, 0x7F, 0x80});
    Voice v = makeVoice(bytes, 0, 6, 0, VoiceStereo, Step1, 64, 128);
    const std::vector<int32_t> out = mixFrames(&v, 1, 2);
    EXPECT_EQ(out[0], 131068);
    EXPECT_EQ(out[1], -131072);
}

TEST(Resampling, SurroundInvertsTheRightChannelUnlessForcedMono) {
    const std::vector<uint8_t> data = words16(std::vector<int>(8, 1000));
    Voice v = makeVoice(data, 0, 16, 0, Voice16Bit | VoiceSurround, Step1, 64, 128);
    Voice mono = v;
    EXPECT_EQ(mixFrames(&v, 1, 2), (std::vector<int32_t>{2000, -2000, 2000, -2000}));
    MixOptions forceMono;
    forceMono.forceMono = true;
    EXPECT_EQ(mixFrames(&mono, 1, 2, forceMono), (std::vector<int32_t>{2000, 2000, 2000, 2000}));
}

TEST(Resampling, ManyVoicesAddUp) {
    std::vector<std::vector<uint8_t>> data;
    for (int i = 0; i < 64; ++i)
        data.push_back(words16(std::vector<int>(64, 100 * (i - 32))));
    std::vector<Voice> voices, single;
    for (int i = 0; i < 64; ++i)
        voices.push_back(makeVoice(data[i], 0, 128, 0, Voice16Bit, Step1, 64, uint8_t(4 * i)));
    single = voices;
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
