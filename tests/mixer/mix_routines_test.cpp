// The mixing routines against plain statements of their arithmetic over random voices of every
// layout, loop mode and direction (sample data of their exact size, so that a read outside them
// shows under the sanitizers); the filter kernels against their recurrence in plain floats; and
// filtered voices: rendered to floats, handed to the filter callback and mixed back.
#include "mixer/FilterKernels.h"
#include "mixer/MixRoutines.h"
#include "support/MixerHarness.h"
#include "support/ReferenceRoutines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <tuple>
#include <utility>
#include <vector>

using namespace tolva;
using namespace tolva::test;

namespace {

struct Case {
    std::vector<uint8_t> data;
    Voice voice;
    RunGains gains;
    uint32_t frames;
    bool interpolate;
};

Case randomCase(std::mt19937& rng) {
    auto pick = [&](uint32_t below) { return static_cast<uint32_t>(rng() % below); };
    Case c;
    const uint8_t loops[] = {0, VoiceLoop, VoiceLoop | VoicePingPong};
    uint8_t flags = VoiceActive | loops[pick(3)] | (pick(2) ? VoiceStereo : 0) |
                    (pick(2) ? Voice16Bit : 0) | (pick(4) ? 0 : VoiceBackwards) |
                    (pick(4) ? 0 : VoiceSurround);
    const uint32_t frameBytes =
        ((flags & VoiceStereo) ? 2u : 1u) * ((flags & Voice16Bit) ? 2u : 1u);
    const uint32_t frames = 1 + pick(pick(2) ? 8 : 400);
    c.data.resize(frames * frameBytes);
    for (uint8_t& b : c.data)
        b = static_cast<uint8_t>(rng());
    const uint32_t loopStart = pick(frames);
    const uint32_t end = loopStart + 1 + pick(frames - loopStart);
    const uint32_t position =
        (flags & VoiceBackwards) ? loopStart + pick(end - loopStart) : pick(end);
    static const uint32_t steps[] = {0x10000, 0x8000, 0x25EB8, 0x4000, 0x30000, 0x10001};
    const uint32_t step = pick(2) ? steps[pick(6)] : 0x100 + pick(0x50000);
    Voice& v = c.voice =
        makeVoice(c.data, position * frameBytes, end * frameBytes, loopStart * frameBytes, flags,
                  step, uint8_t(pick(256)), uint8_t(pick(256)));
    v.fraction = pick(4) ? pick(0x10000) : 0;
    v.signFlip = pick(2) ? 0x80 : 0;
    v.holdLeft = static_cast<int32_t>(rng() % 2000001) - 1000000;
    v.holdRight = static_cast<int32_t>(rng() % 2000001) - 1000000;
    v.holdLevel = static_cast<uint8_t>(pick(9));
    c.gains = runGains(v, pick(4) ? 1 + pick(1000) : 0xFFFF, pick(2) != 0);
    c.frames = 2 * pick(512);
    c.interpolate = pick(3) != 0;
    return c;
}

void expectSameCursor(const VoiceCursor& a, const VoiceCursor& b) {
    EXPECT_EQ(std::tuple(a.index, a.fraction, a.flags), std::tuple(b.index, b.fraction, b.flags));
}

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
            const float sum = (cin[0] * v + cout[0] * y1) + (cin[1] * x1 + cout[1] * y2);
            const float out = std::clamp(sum, -2.0f, 2.0f);
            x2 = std::exchange(x1, std::exchange(v, out));
            y2 = std::exchange(y1, out);
        }
    }
}

} // namespace

TEST(RoutineReference, VectorRoutinesMatchTheFrameByFrameArithmetic) {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> sample(-2.0f, 2.0f);
    const auto room = std::make_unique<KernelRoom>();
    for (int round = 0; round < 3000; ++round) {
        SCOPED_TRACE(round);
        const Case c = randomCase(rng);
        const std::size_t bytes = 8 * std::size_t{c.frames};
        Aligned<int32_t> before(2 * c.frames), slowOut(2 * c.frames);
        for (uint32_t i = 0; i < 2 * c.frames; ++i)
            before.values[i] = slowOut.values[i] = static_cast<int32_t>(rng());
        std::vector<float> floats(2 * c.frames);
        for (float& x : floats)
            x = sample(rng);
        if (!floats.empty())
            floats[0] = 0.5f / 131071.0f; // a tie, rounded to even
        const bool stereo = (c.voice.flags & VoiceStereo) != 0;
        LastFrame slowLast{1, 2};
        referenceMixFloatBack(floats.data(), stereo, slowOut.values, c.frames, c.gains, slowLast);
        VoiceCursor slow = VoiceCursor::load(c.voice);
        const bool playing = slow.prepareSegment();
        const uint32_t added = playing ? referenceAccumulateRun(slow, slowOut.values, c.frames,
                                                                c.gains, c.interpolate, slowLast)
                                       : 0;
        // The 128-bit loops, and the widest the processor runs, on the same sums.
        for (VectorWidth width : {VectorWidth::Sse2, widestVectors()}) {
            Aligned<int32_t> out(2 * c.frames);
            std::memcpy(out.values, before.values, bytes);
            LastFrame last{1, 2};
            mixFloatBack(floats.data(), stereo, out.values, c.frames, c.gains, last);
            VoiceCursor fast = VoiceCursor::load(c.voice);
            if (fast.prepareSegment()) {
                ASSERT_EQ(
                    accumulateRun(fast, out.values, c.frames, c.gains, c.interpolate, last, width),
                    added);
                expectSameCursor(fast, slow);
            }
            ASSERT_EQ(0, std::memcmp(out.values, slowOut.values, bytes));
            EXPECT_EQ(std::tuple(last.left, last.right), std::tuple(slowLast.left, slowLast.right));
        }
        if (!playing)
            continue;
        VoiceCursor fast = VoiceCursor::load(c.voice);
        fast.prepareSegment();
        slow = fast;
        Aligned<float> a(2 * 1024), b(2 * 1024);
        const VoiceCursor start = fast;
        const uint32_t done = renderFloatRun(fast, a.values, c.frames, c.interpolate);
        ASSERT_EQ(done, referenceRenderFloatRun(slow, b.values, c.frames, c.interpolate));
        ASSERT_EQ(0, std::memcmp(a.values, b.values, done * (fast.stereo() ? 8 : 4)));
        expectSameCursor(fast, slow);
        // The kernels of the other modes read around the voice, never outside its frames, and
        // move it as the linear routines do.
        for (Interpolation mode : {Interpolation::Cubic, Interpolation::Sinc}) {
            VoiceCursor kernel = start;
            ASSERT_EQ(renderKernelRun(kernel, a.values, c.frames, mode, *room), done);
            expectSameCursor(kernel, fast);
        }
    }
}

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
        (stereo ? filterVoiceStereo : filterVoiceMono)(a.data(), frames, cin, cout, xsA, ysA);
        if (frames >= 2)
            referenceFilter(b.data(), frames, channels, cin, cout, xsB, ysB);
        ASSERT_EQ(0, std::memcmp(a.data(), b.data(), a.size() * sizeof(float))) << round;
        ASSERT_EQ(0, std::memcmp(xsA, xsB, channels * 2 * sizeof(float))) << round;
        ASSERT_EQ(0, std::memcmp(ysA, ysB, channels * 2 * sizeof(float))) << round;
    }
    // A resonance peak holds at twice full scale: y = x + y[n-1] climbs 1, 2, then stays.
    float x[4] = {1, 1, 1, 1}, xs[2] = {}, ys[2] = {};
    const float cin[2] = {1, 0}, cout[2] = {1, 0};
    filterVoiceMono(x, 4, cin, cout, xs, ys);
    EXPECT_EQ(std::vector<float>(x, x + 4), (std::vector<float>{1, 2, 2, 2}));
}

TEST(FilteredVoice, UnfilteredFloatsComeBackAtTheIntegerLevel) {
    std::vector<int> values;
    for (int i = 0; i < 6000; ++i)
        values.push_back((i * 7919) % 60000 - 30000);
    const std::vector<uint8_t> data = words16(values);
    // Also through the sinc, whose floats go to the filter before they are mixed.
    for (const Interpolation mode : {Interpolation::Linear, Interpolation::Sinc})
        for (uint8_t flags : {uint8_t(Voice16Bit), uint8_t(Voice16Bit | VoiceStereo)}) {
            Voice plain = makeVoice(data, 0, 12000, 0, flags, 0x18000, 200, 90);
            Voice filtered = plain;
            filtered.flags |= VoiceFiltered;
            CallbackLog log;
            const MixOptions options{
                .interpolation = mode, .filter = logFilter, .filterContext = &log};
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
