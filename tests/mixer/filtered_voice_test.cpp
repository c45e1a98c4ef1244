// Voices flagged as filtered: rendered to floats, handed to the filter callback and mixed
// back; and the two filter kernels against the recurrence written out in plain floats.
#include "mixer/FilterKernels.h"
#include "support/MixerHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>

using namespace tolva;
using namespace tolva::test;

namespace {

struct CallbackLog {
    std::vector<uint32_t> voices, frames;
    std::vector<bool> stereo;
    float first = 0;
    bool zero = false;
};

void logFilter(void* context, uint32_t voice, float* buffer, uint32_t frames, bool isStereo) {
    auto* log = static_cast<CallbackLog*>(context);
    log->voices.push_back(voice);
    log->frames.push_back(frames);
    log->stereo.push_back(isStereo);
    if (log->frames.size() == 1)
        log->first = buffer[0];
    if (log->zero)
        std::memset(buffer, 0, frames * (isStereo ? 8 : 4));
}

void referenceFilter(float* x, uint32_t frames, int channels, const float cin[2],
                     const float cout[2], float* xs, float* ys) {
    for (int ch = 0; ch < channels; ++ch) {
        float &x1 = xs[channels + ch], &x2 = xs[ch], &y1 = ys[channels + ch], &y2 = ys[ch];
        for (uint32_t n = 0; n < (frames & ~1u); ++n) {
            float& v = x[n * channels + ch];
            const float out = (cin[0] * v + cout[0] * y1) + (cin[1] * x1 + cout[1] * y2);
            x2 = std::exchange(x1, std::exchange(v, out));
            y2 = std::exchange(y1, out);
        }
    }
}

} // namespace

TEST(FilteredVoice, KernelsFollowTheRecurrenceExactly) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> value(-1.0f, 1.0f);
    for (int round = 0; round < 200; ++round) {
        const bool stereo = round % 2;
        const int channels = stereo ? 2 : 1;
        const uint32_t frames = rng() % 40;
        const float cin[2] = {value(rng), value(rng) * 0.5f};
        const float cout[2] = {value(rng) * 1.5f, value(rng) * 0.5f};
        std::vector<float> a(frames * channels + 1);
        std::generate(a.begin(), a.end(), [&] { return value(rng); });
        std::vector<float> b = a;
        float xsA[4], ysA[4], xsB[4], ysB[4];
        for (int i = 0; i < 4; ++i)
            xsA[i] = xsB[i] = value(rng), ysA[i] = ysB[i] = value(rng);
        if (stereo)
            filterVoiceStereo(a.data(), frames, cin, cout, xsA, ysA);
        else
            filterVoiceMono(a.data(), frames, cin, cout, xsA, ysA);
        if (frames >= 2)
            referenceFilter(b.data(), frames, channels, cin, cout, xsB, ysB);
        ASSERT_EQ(0, std::memcmp(a.data(), b.data(), a.size() * sizeof(float))) << round;
        ASSERT_EQ(0, std::memcmp(xsA, xsB, channels * 2 * sizeof(float))) << round;
        ASSERT_EQ(0, std::memcmp(ysA, ysB, channels * 2 * sizeof(float))) << round;
    }
}

TEST(FilteredVoice, UnfilteredFloatsComeBackAtTheIntegerLevel) {
    std::vector<int> values;
    for (int i = 0; i < 6000; ++i)
        values.push_back((i * 7919) % 60000 - 30000);
    const std::vector<uint8_t> data = words16(values);
    for (uint8_t flags : {uint8_t(Voice16Bit), uint8_t(Voice16Bit | VoiceStereo)}) {
        Voice plain = makeVoice(data, 0, 12000, 0, flags, 0x18000, 200, 90);
        Voice filtered = plain;
        filtered.flags |= VoiceFiltered;
        CallbackLog log;
        const MixOptions options{.filter = logFilter, .filterContext = &log};
        const std::vector<int32_t> a = mixFrames(&plain, 1, 1500, options);
        const std::vector<int32_t> b = mixFrames(&filtered, 1, 1500, options);
        for (std::size_t i = 0; i < a.size(); ++i)
            ASSERT_LE(std::abs(a[i] - b[i]), 40) << i;
        EXPECT_EQ(filtered.position, plain.position);
        EXPECT_EQ(log.frames, (std::vector<uint32_t>{1024, 476}));
        EXPECT_EQ(log.stereo[0], (flags & VoiceStereo) != 0);
    }
}

TEST(FilteredVoice, CallbackSeesFullScaleFloatsAndItsOutputIsMixed) {
    const std::vector<uint8_t> data = words16(std::vector<int>(100, -32768));
    Voice v[3];
    v[2] = makeVoice(data, 0, 200, 0, Voice16Bit | VoiceFiltered, 0x10000, 64, 0);
    CallbackLog log;
    log.zero = true;
    MixOptions options{.filter = logFilter, .filterContext = &log};
    EXPECT_EQ(mixFrames(v, 3, 10, options), std::vector<int32_t>(20, 0));
    EXPECT_EQ(log.voices, (std::vector<uint32_t>{2}));
    EXPECT_EQ(log.first, -1.0f);

    // Unlooped data ending inside the pass: only the frames produced are handed on.
    Voice ending = makeVoice(data, 0, 20, 0, Voice16Bit | VoiceFiltered, 0x10000);
    CallbackLog endLog;
    options.filterContext = &endLog;
    const std::vector<int32_t> out = leftOf(mixFrames(&ending, 1, 12, options));
    EXPECT_EQ(endLog.frames, (std::vector<uint32_t>{8}));
    // -1.0 comes back as 2^21 - 131071 against a silence level of 2^21.
    EXPECT_EQ(out[7], -131071);
    EXPECT_EQ(out[8], 0);
    EXPECT_FALSE(ending.flags & VoiceActive);

    // An inaudible filtered voice takes the integer path.
    Voice inaudible = makeVoice(data, 0, 200, 0, Voice16Bit | VoiceFiltered, 0x10000, 0, 0);
    CallbackLog none;
    options.filterContext = &none;
    EXPECT_EQ(mixFrames(&inaudible, 1, 10, options), std::vector<int32_t>(20, 0));
    EXPECT_TRUE(none.frames.empty());
    EXPECT_EQ(inaudible.position, inaudible.data + 20);
}
