// Passing over frames without output: one call over many frames must leave a voice where the
// same frames taken a pair at a time leave it, whatever the loop, its length and the step, also
// at the steps where going round a loop turns into stopping.
#include "mixer/VoiceCursor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace tolva;

namespace {

VoiceCursor randomCursor(std::mt19937& rng) {
    auto pick = [&](uint32_t below) { return static_cast<uint32_t>(rng() % below); };
    VoiceCursor c{};
    c.flags = VoiceActive | VoiceLoop;
    if (pick(2))
        c.flags |= VoicePingPong;
    if (pick(3) == 0)
        c.flags |= VoiceBackwards;
    c.loopFrame = pick(20);
    const uint32_t length = 1 + (pick(3) ? pick(8) : pick(3000));
    c.endFrame = c.loopFrame + length;
    c.index = (c.flags & VoiceBackwards) ? c.loopFrame + pick(length) : pick(c.endFrame);
    c.fraction = pick(2) ? pick(0x10000) : 0;

    // Twice the step near the loop's period and half of it, where the behaviour changes.
    const int64_t forwardPeriod = int64_t{length} * 0x10000;
    const int64_t pingPongPeriod = 2 * int64_t{length - 1} * 0x10000;
    const int64_t period = (c.flags & VoicePingPong) ? pingPongPeriod : forwardPeriod;
    const int64_t near[] = {period / 2, period, period / 4, 2 * period};
    const int64_t nudge = static_cast<int64_t>(pick(5)) - 2;
    int64_t step = pick(2) ? int64_t{0x100 + pick(0x50000)} : near[pick(4)] / 2 + nudge;
    c.step = static_cast<uint32_t>(std::clamp<int64_t>(step, 1, 0xFFFFFFFF));
    return c;
}

} // namespace

TEST(SilentAdvance, ManyFramesAtOnceEqualThemPairByPair) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 5000; ++round) {
        SCOPED_TRACE(round);
        VoiceCursor whole = randomCursor(rng);
        if (!whole.prepareSegment())
            continue;
        VoiceCursor paired = whole;
        const uint32_t frames = 2 * static_cast<uint32_t>(rng() % 3000);
        whole.advanceSilently(frames);
        for (uint32_t done = 0; done < frames; done += 2)
            paired.advanceSilently(2);
        ASSERT_EQ(whole.flags, paired.flags);
        if (!paired.active())
            continue; // where a stopped voice rests does not matter
        ASSERT_EQ(whole.index, paired.index);
        ASSERT_EQ(whole.fraction, paired.fraction);
    }
}

TEST(SilentAdvance, ATinyLoopIsPassedOverForAnHourInOneCall) {
    // Some billion turns of a two-frame loop; stepping them one by one would take minutes.
    for (uint8_t loop : {uint8_t(VoiceLoop), uint8_t(VoiceLoop | VoicePingPong)}) {
        VoiceCursor c{};
        c.flags = VoiceActive | loop;
        c.loopFrame = 10;
        c.endFrame = 12;
        c.index = 0;
        c.step = 0x6000;
        ASSERT_TRUE(c.prepareSegment());
        c.advanceSilently(3600u * 96000u);
        EXPECT_TRUE(c.active());
        EXPECT_GE(c.index, 10u);
        EXPECT_LT(c.index, 12u);
    }
}
