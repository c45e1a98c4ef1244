// Loops, directions and the ends of samples. The data hold 100 x the frame index, so the
// frame played is the left output / 400.
#include "support/MixerHarness.h"

#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::test;

namespace {

constexpr uint32_t Step1 = 0x10000;
constexpr uint32_t Step237 = 0x25EB8;

std::vector<int32_t> framesPlayed(Voice& v, uint32_t frames) {
    std::vector<int32_t> played;
    for (int32_t left : leftOf(mixFrames(&v, 1, frames)))
        played.push_back(left / 400);
    return played;
}

// Where a voice stands, in 1/65536 frame, backwards positions counted down.
int64_t truePosition(const Voice& v) {
    const int64_t index = (v.position - v.data) / 2;
    return (v.flags & VoiceBackwards) ? index * 65536 - v.fraction : index * 65536 + v.fraction;
}

} // namespace

TEST(LoopWrap, ForwardLoopJumpsFromLastFrameToLoopStart) {
    const std::vector<uint8_t> data = indexRamp16(40);
    Voice v = makeVoice(data, 2 * 15, 2 * 21, 2 * 10, Voice16Bit | VoiceLoop, Step1);
    EXPECT_EQ(framesPlayed(v, 18), (std::vector<int32_t>{15, 16, 17, 18, 19, 20, 10, 11, 12, 13, 14,
                                                         15, 16, 17, 18, 19, 20, 10}));
    // Halfway between frame 20 and its partner, frame 10.
    Voice half = makeVoice(data, 2 * 20, 2 * 21, 2 * 10, Voice16Bit | VoiceLoop, 0);
    half.fraction = 0x8000;
    EXPECT_EQ(leftOf(mixFrames(&half, 1, 2)), (std::vector<int32_t>{6000, 6000}));
}

TEST(LoopWrap, PingPongLoopPlaysEachTurningFrameOnce) {
    const std::vector<uint8_t> data = indexRamp16(40);
    Voice v =
        makeVoice(data, 2 * 17, 2 * 21, 2 * 10, Voice16Bit | VoiceLoop | VoicePingPong, Step1);
    EXPECT_EQ(framesPlayed(v, 28),
              (std::vector<int32_t>{17, 18, 19, 20, 19, 18, 17, 16, 15, 14, 13, 12, 11, 10,
                                    11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 19, 18, 17, 16}));
    EXPECT_TRUE(v.flags & VoiceBackwards);
    // Partners at the turns: frame 20 leans towards 19, frame 10 (backwards) towards 11.
    Voice top = makeVoice(data, 2 * 20, 2 * 21, 2 * 10, Voice16Bit | VoiceLoop | VoicePingPong, 0);
    top.fraction = 0x8000;
    EXPECT_EQ(leftOf(mixFrames(&top, 1, 2))[0], 7800);
    Voice bottom = top;
    bottom.position = bottom.data + 2 * 10;
    bottom.flags |= VoiceBackwards;
    EXPECT_EQ(leftOf(mixFrames(&bottom, 1, 2))[0], 4200);
}

TEST(LoopWrap, UnloopedSampleEndsBeforeItsLastPair) {
    const std::vector<uint8_t> data = indexRamp16(100);
    Voice v = makeVoice(data, 0, 200, 0, Voice16Bit, Step1);
    std::vector<int32_t> expected;
    for (int i = 0; i < 98; ++i)
        expected.push_back(i);
    expected.resize(110, 0);
    EXPECT_EQ(framesPlayed(v, 110), expected);
    EXPECT_FALSE(v.flags & VoiceActive);
    // Backwards, the sample ends at its first frame.
    Voice back = makeVoice(data, 2 * 9, 200, 0, Voice16Bit | VoiceBackwards, Step1);
    EXPECT_EQ(framesPlayed(back, 12), (std::vector<int32_t>{9, 8, 7, 6, 5, 4, 3, 2, 0, 0, 0, 0}));
    EXPECT_FALSE(back.flags & VoiceActive);
}

TEST(LoopWrap, BackwardsNormalLoopKeepsGoingBackwards) {
    const std::vector<uint8_t> data = indexRamp16(40);
    Voice v =
        makeVoice(data, 2 * 12, 2 * 15, 2 * 10, Voice16Bit | VoiceLoop | VoiceBackwards, Step1);
    EXPECT_EQ(framesPlayed(v, 8), (std::vector<int32_t>{12, 11, 10, 14, 13, 12, 11, 10}));
    EXPECT_TRUE(v.flags & VoiceBackwards);
}

TEST(LoopWrap, LoopShorterThanAStepEndsTheVoice) {
    const std::vector<uint8_t> data = indexRamp16(40);
    // Loop 10..12 at step 5: 0, 5, 10, then 15 wraps to 12, then 17 overshoots the loop.
    Voice v = makeVoice(data, 0, 2 * 13, 2 * 10, Voice16Bit | VoiceLoop, 5 * Step1);
    EXPECT_EQ(framesPlayed(v, 8), (std::vector<int32_t>{0, 5, 10, 12, 0, 0, 0, 0}));
    EXPECT_FALSE(v.flags & VoiceActive);
    // A one-frame ping-pong loop has no frame to turn on.
    Voice single = makeVoice(data, 0, 2 * 1, 0, Voice16Bit | VoiceLoop | VoicePingPong, Step1);
    EXPECT_EQ(framesPlayed(single, 4), (std::vector<int32_t>{0, 0, 0, 0}));
    EXPECT_FALSE(single.flags & VoiceActive);
}

TEST(LoopWrap, UnusableGeometryEndsTheVoice) {
    const std::vector<uint8_t> data = indexRamp16(40);
    Voice inverted = makeVoice(data, 0, 2 * 10, 2 * 20, Voice16Bit | VoiceLoop, Step1);
    Voice beyond = makeVoice(data, 2 * 30, 2 * 20, 0, Voice16Bit, Step1);
    Voice belowLoop =
        makeVoice(data, 2 * 5, 2 * 20, 2 * 10, Voice16Bit | VoiceLoop | VoiceBackwards, Step1);
    Voice pastEndBackwards = makeVoice(data, 2 * 25, 2 * 20, 0, Voice16Bit | VoiceBackwards, Step1);
    for (Voice* v : {&inverted, &beyond, &belowLoop, &pastEndBackwards}) {
        EXPECT_EQ(framesPlayed(*v, 4), (std::vector<int32_t>{0, 0, 0, 0}));
        EXPECT_FALSE(v->flags & VoiceActive);
    }
    // Sitting exactly on the boundary wraps at once.
    Voice onEnd = makeVoice(data, 2 * 20, 2 * 20, 2 * 10, Voice16Bit | VoiceLoop, Step1);
    EXPECT_EQ(framesPlayed(onEnd, 2), (std::vector<int32_t>{10, 11}));
}

TEST(LoopWrap, ManyWrapsLandWhereTheLoopArithmeticSays) {
    const std::vector<uint8_t> data = indexRamp16(64);
    const int64_t first = 7 * 65536, end = 37 * 65536; // loop 7..36
    Voice forward = makeVoice(data, 0, 2 * 37, 2 * 7, Voice16Bit | VoiceLoop, Step237);
    Voice pingPong =
        makeVoice(data, 0, 2 * 37, 2 * 7, Voice16Bit | VoiceLoop | VoicePingPong, Step237);
    // Ping-pong, followed frame by frame: reaching the end mirrors about the last frame,
    // falling below the loop start mirrors about the first.
    int64_t x = 0;
    bool backwards = false;
    for (uint32_t frames = 0; frames < 20000;) {
        mixFrames(&forward, 1, 576);
        mixFrames(&pingPong, 1, 576);
        for (int i = 0; i < 576; ++i) {
            x += backwards ? -int64_t(Step237) : int64_t(Step237);
            if (!backwards && x >= end) {
                x = 2 * (end - 65536) - x;
                backwards = true;
            } else if (backwards && x <= first - 65536) {
                x = 2 * first - x;
                backwards = false;
            }
        }
        frames += 576;
        const int64_t travelled = int64_t(frames) * Step237;
        EXPECT_EQ(truePosition(forward), first + (travelled - first) % (end - first));
        EXPECT_EQ(truePosition(pingPong), x);
        EXPECT_EQ((pingPong.flags & VoiceBackwards) != 0, backwards);
    }
}

TEST(LoopWrap, SilentVoicesMoveExactlyLikeAudibleOnes) {
    const std::vector<uint8_t> data = indexRamp16(300);
    struct Shape {
        uint32_t end, loopStart;
        uint8_t flags;
        uint32_t step;
    };
    const Shape shapes[] = {
        {600, 100, VoiceLoop, Step237},
        {600, 100, VoiceLoop | VoicePingPong, Step237},
        {106, 100, VoiceLoop | VoicePingPong, 0x9000},
        {600, 0, 0, Step1},
        {600, 0, 0, Step237},
        {600, 20, VoiceLoop | VoiceBackwards, 0x18000},
    };
    for (const Shape& s : shapes) {
        SCOPED_TRACE(int(s.flags));
        Voice audible = makeVoice(data, 2 * 40, s.end, s.loopStart, Voice16Bit | s.flags, s.step);
        Voice quiet = audible;
        quiet.volume = quiet.targetVolume = 0;
        Voice unrendered = audible;
        MixOptions noOutput;
        noOutput.silent = true;
        for (int block = 0; block < 40; ++block) {
            mixFrames(&audible, 1, 576);
            mixFrames(&quiet, 1, 576);
            mixFrames(&unrendered, 1, 576, noOutput);
            ASSERT_EQ(quiet.flags, audible.flags) << block;
            ASSERT_EQ(unrendered.flags, audible.flags) << block;
            if (audible.flags & VoiceActive) {
                ASSERT_EQ(truePosition(quiet), truePosition(audible)) << block;
                ASSERT_EQ(truePosition(unrendered), truePosition(audible)) << block;
            }
        }
    }
}
