// The vector routines against the frame-by-frame statement of the arithmetic, over random
// voices of every layout, loop mode and direction. Sample data are allocated to their exact
// size so that a read outside them shows under the sanitizers.
#include "mixer/MixRoutines.h"
#include "support/ReferenceRoutines.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <tuple>
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
    Voice& v = c.voice;
    v.data = c.data.data();
    v.position = v.data + position * frameBytes;
    v.fraction = pick(4) ? pick(0x10000) : 0;
    v.loopStart = v.data + loopStart * frameBytes;
    v.end = v.data + end * frameBytes;
    v.step = pick(2) ? steps[pick(6)] : 0x100 + pick(0x50000);
    v.flags = flags;
    v.signFlip = pick(2) ? 0x80 : 0;
    v.volume = static_cast<uint8_t>(pick(256));
    v.panning = static_cast<uint8_t>(pick(256));
    v.holdLeft = static_cast<int32_t>(rng() % 2000001) - 1000000;
    v.holdRight = static_cast<int32_t>(rng() % 2000001) - 1000000;
    v.holdLevel = static_cast<uint8_t>(pick(9));
    c.gains = runGains(v, pick(4) ? 1 + pick(1000) : 0xFFFF, pick(2) != 0);
    c.frames = 2 * pick(512);
    c.interpolate = pick(3) != 0;
    return c;
}

struct Aligned {
    explicit Aligned(std::size_t count) : room(new int32_t[count + 4]()) {
        values = reinterpret_cast<int32_t*>((reinterpret_cast<uintptr_t>(room.get()) + 15) &
                                            ~uintptr_t(15));
    }
    std::unique_ptr<int32_t[]> room;
    int32_t* values;
};

void expectSameCursor(const VoiceCursor& a, const VoiceCursor& b) {
    EXPECT_EQ(std::tuple(a.index, a.fraction, a.flags), std::tuple(b.index, b.fraction, b.flags));
}

} // namespace

// Each round checks the three routines on one random voice: mixing into the accumulator,
// rendering to floats, and mixing floats back.
TEST(RoutineReference, VectorRoutinesMatchTheFrameByFrameArithmetic) {
    std::mt19937 rng(1234);
    std::uniform_real_distribution<float> sample(-2.0f, 2.0f);
    for (int round = 0; round < 3000; ++round) {
        SCOPED_TRACE(round);
        const Case c = randomCase(rng);
        Aligned fastOut(2 * c.frames), slowOut(2 * c.frames);
        for (uint32_t i = 0; i < 2 * c.frames; ++i)
            fastOut.values[i] = slowOut.values[i] = static_cast<int32_t>(rng());
        LastFrame fastLast{1, 2}, slowLast{1, 2};
        std::vector<float> floats(2 * c.frames);
        for (float& x : floats)
            x = sample(rng);
        if (!floats.empty())
            floats[0] = 0.5f / 131071.0f; // a tie, rounded to even
        const bool stereo = (c.voice.flags & VoiceStereo) != 0;
        mixFloatBack(floats.data(), stereo, fastOut.values, c.frames, c.gains, fastLast);
        referenceMixFloatBack(floats.data(), stereo, slowOut.values, c.frames, c.gains, slowLast);

        VoiceCursor fast = VoiceCursor::load(c.voice);
        if (fast.prepareSegment()) {
            // The 128-bit loops, and the widest the processor runs on a copy of the same sums.
            VoiceCursor slow = fast, wide = fast;
            Aligned wideOut(2 * c.frames);
            std::memcpy(wideOut.values, fastOut.values, 8 * c.frames);
            LastFrame wideLast = fastLast;
            const uint32_t added = referenceAccumulateRun(slow, slowOut.values, c.frames, c.gains,
                                                          c.interpolate, slowLast);
            ASSERT_EQ(accumulateRun(fast, fastOut.values, c.frames, c.gains, c.interpolate,
                                    fastLast, VectorWidth::Sse2),
                      added);
            ASSERT_EQ(accumulateRun(wide, wideOut.values, c.frames, c.gains, c.interpolate,
                                    wideLast, widestVectors()),
                      added);
            expectSameCursor(fast, slow);
            expectSameCursor(wide, slow);
            ASSERT_EQ(0, std::memcmp(wideOut.values, slowOut.values, 8 * c.frames));
            EXPECT_EQ(std::tuple(wideLast.left, wideLast.right),
                      std::tuple(slowLast.left, slowLast.right));

            fast = slow = VoiceCursor::load(c.voice);
            fast.prepareSegment();
            slow.prepareSegment();
            Aligned fastFloats(2 * 1024), slowFloats(2 * 1024);
            auto* a = reinterpret_cast<float*>(fastFloats.values);
            auto* b = reinterpret_cast<float*>(slowFloats.values);
            const uint32_t done = renderFloatRun(fast, a, c.frames, c.interpolate);
            ASSERT_EQ(done, referenceRenderFloatRun(slow, b, c.frames, c.interpolate));
            ASSERT_EQ(0, std::memcmp(a, b, done * (fast.stereo() ? 8 : 4)));
            expectSameCursor(fast, slow);
        }
        ASSERT_EQ(0, std::memcmp(fastOut.values, slowOut.values, 8 * c.frames));
        EXPECT_EQ(std::tuple(fastLast.left, fastLast.right),
                  std::tuple(slowLast.left, slowLast.right));
    }
}
