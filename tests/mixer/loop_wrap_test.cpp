// Loops, directions and the ends of samples. The data hold 100 x the frame index, so the
// frame played is the left output / 400.
#include "mixer/PlayedFrames.h"
#include "mixer/VoiceCursor.h"
#include "support/MixerHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

using namespace tolva;
using namespace tolva::test;

namespace {

constexpr uint32_t Step1 = 0x10000;
constexpr uint32_t Step237 = 0x25EB8;
constexpr uint8_t Loop = Voice16Bit | VoiceLoop;
constexpr uint8_t PingPong = Loop | VoicePingPong;
constexpr uint8_t Plain = Voice16Bit, Back = VoiceBackwards;
constexpr uint8_t End = TurnRepeatsEnd, Start = TurnRepeatsStart, Ends = End | Start;

// Where a voice stands, in 1/65536 frame, backwards positions counted down.
int64_t truePosition(const Voice& v) {
    const int64_t index = (v.position - v.data) / 2;
    return (v.flags & VoiceBackwards) ? index * 65536 - v.fraction : index * 65536 + v.fraction;
}

VoiceCursor randomCursor(std::mt19937& rng) {
    auto pick = [&](uint32_t below) { return static_cast<uint32_t>(rng() % below); };
    VoiceCursor c{};
    const bool pingPong = pick(2);
    c.flags = VoiceActive | VoiceLoop | (pingPong ? VoicePingPong : 0);
    if (pick(3) == 0)
        c.flags |= VoiceBackwards;
    c.loopFrame = pick(20);
    const uint32_t length = 1 + (pick(3) ? pick(8) : pick(3000));
    c.endFrame = c.loopFrame + length;
    c.index = (c.flags & VoiceBackwards) ? c.loopFrame + pick(length) : pick(c.endFrame);
    c.fraction = pick(2) ? pick(0x10000) : 0;
    c.turns = static_cast<uint8_t>(pick(4));

    // Twice the step near the loop's period and half of it, where the behaviour changes.
    const int64_t period = (pingPong ? 2 * int64_t{length - 1} : int64_t{length}) * 0x10000;
    const int64_t near[] = {period / 2, period, period / 4, 2 * period};
    const int64_t nudge = static_cast<int64_t>(pick(5)) - 2;
    int64_t step = pick(2) ? int64_t{0x100 + pick(0x50000)} : near[pick(4)] / 2 + nudge;
    c.step = static_cast<uint32_t>(std::clamp<int64_t>(step, 1, 0xFFFFFFFF));
    return c;
}

} // namespace

TEST(LoopWrap, FramesPlayed) {
    const std::vector<uint8_t> data = indexRamp16(100);
    // Frames go in pairs, and an unlooped voice stops before its last pair.
    const struct {
        const char* what;
        uint32_t position, end, loopStart; // frames
        uint8_t flags;
        uint32_t step;
        bool active; // afterwards
        std::vector<int32_t> played;
        uint8_t turns = 0;
    } cases[] = {
        {"forward", 18, 21, 10, Loop, Step1, true, {18, 19, 20, 10, 11, 12, 13, 14, 15, 16}},
        {"pong", 13, 15, 10, PingPong, Step1, true, {13, 14, 13, 12, 11, 10, 11, 12, 13, 14}},
        // Ends that sound twice as the voice turns.
        {"pong, both", 13, 15, 10, PingPong, Step1, true, {13, 14, 14, 13, 12, 11, 10, 10}, Ends},
        {"pong, end", 13, 15, 10, PingPong, Step1, true, {13, 14, 14, 13, 12, 11, 10, 11}, End},
        {"unlooped", 90, 100, 0, Plain, Step1, false, {90, 91, 92, 93, 94, 95, 96, 97, 0, 0}},
        {"backwards", 5, 100, 0, Plain | Back, Step1, false, {5, 4, 3, 2, 0, 0}},
        {"back loop", 12, 15, 10, Loop | Back, Step1, true, {12, 11, 10, 14, 13, 12}},
        // 0, 5, 10, then 15 wraps to 12, then 17 overshoots the loop.
        {"loop below a step", 0, 13, 10, Loop, 5 * Step1, false, {0, 5, 10, 12, 0, 0}},
        {"1-frame ping-pong", 0, 1, 0, PingPong, Step1, false, {0, 0}},
        {"loop after end", 0, 10, 20, Loop, Step1, false, {0, 0}},
        {"beyond the end", 30, 20, 0, Plain, Step1, false, {0, 0}},
        {"back below loop", 5, 20, 10, Loop | Back, Step1, false, {0, 0}},
        {"back past end", 25, 20, 0, Plain | Back, Step1, false, {0, 0}},
        {"on the loop end", 20, 20, 10, Loop, Step1, true, {10, 11}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Voice v = makeVoice(data, 2 * c.position, 2 * c.end, 2 * c.loopStart, c.flags, c.step);
        std::vector<int32_t> played;
        const MixOptions options{.turns = c.turns};
        for (int32_t left : leftOf(mixFrames(&v, 1, uint32_t(c.played.size()), options)))
            played.push_back(left / 400);
        EXPECT_EQ(played, c.played);
        EXPECT_EQ((v.flags & VoiceActive) != 0, c.active);
    }
}

TEST(LoopWrap, FramesAroundAVoiceInTheOrderItPlaysThem) {
    // Frame i holds 100 x (i + 1), so that silence reads as -1.
    std::vector<int> values;
    for (int i = 0; i < 100; ++i)
        values.push_back(100 * (i + 1));
    const std::vector<uint8_t> data = words16(values);
    const struct {
        const char* what;
        uint32_t index, end, loopStart; // frames
        uint8_t flags, turns;
        bool looped;
        uint32_t before; // frames played before the current one
        std::vector<int> frames;
    } cases[] = {
        {"forward", 18, 21, 10, Loop, 0, true, 2, {16, 17, 18, 19, 20, 10, 11, 12}},
        {"back round the loop", 10, 21, 10, Loop, 0, true, 2, {19, 20, 10, 11, 12}},
        {"first time round", 10, 21, 10, Loop, 0, false, 2, {8, 9, 10, 11}},
        {"pong, end", 13, 15, 10, PingPong, End, true, 2, {11, 12, 13, 14, 14, 13, 12, 11, 10, 11}},
        {"pong, backwards", 11, 15, 10, PingPong | Back, 0, true, 4, {13, 14, 13, 12, 11, 10, 11}},
        {"pong, start", 11, 15, 10, PingPong | Back, Start, true, 1, {12, 11, 10, 10, 11}},
        {"unlooped end", 97, 100, 0, Plain, 0, false, 1, {96, 97, 98, 99, -1, -1}},
        {"sample start", 1, 100, 0, Plain, 0, false, 3, {-1, -1, 0, 1, 2}},
    };
    for (const auto& c : cases) {
        VoiceCursor v{};
        v.data = data.data();
        v.index = c.index;
        v.endFrame = c.end;
        v.loopFrame = c.loopStart;
        v.flags = c.flags | VoiceActive;
        v.frameShift = 1;
        v.signFlip = 0x80;
        v.turns = c.turns;
        v.looped = c.looped;
        std::vector<float> line(c.frames.size());
        unfoldPlayedFrames(v, c.before, uint32_t(line.size() - c.before), line.data());
        std::vector<int> read;
        for (float x : line)
            read.push_back(int(std::lround(x * 32768 / 100)) - 1);
        EXPECT_EQ(read, c.frames) << c.what;
    }
}

TEST(LoopWrap, PartnerOfTheLastFrame) {
    // Halfway on frame 20: forwards its partner is frame 10, at a ping-pong turn 19; frame 10
    // turning backwards leans towards 11. An end that sounds twice is its own partner.
    const std::vector<uint8_t> data = indexRamp16(40);
    const uint8_t backPong = PingPong | VoiceBackwards;
    const std::tuple<uint8_t, int, uint8_t, int> cases[] = {{Loop, 20, 0, 6000},
                                                            {PingPong, 20, 0, 7800},
                                                            {backPong, 10, 0, 4200},
                                                            {PingPong, 20, End, 8000},
                                                            {backPong, 10, Start, 4000}};
    for (const auto& [flags, frame, turns, left] : cases) {
        Voice v = makeVoice(data, 2 * frame, 2 * 21, 2 * 10, flags, 0);
        v.fraction = 0x8000;
        EXPECT_EQ(leftOf(mixFrames(&v, 1, 2, {.turns = turns}))[0], left) << int(flags);
    }
}

TEST(LoopWrap, ManyWrapsLandWhereTheLoopArithmeticSays) {
    const std::vector<uint8_t> data = indexRamp16(64);
    const int64_t first = 7 * 65536, end = 37 * 65536; // loop 7..36
    Voice forward = makeVoice(data, 0, 2 * 37, 2 * 7, Loop, Step237);
    Voice pingPong = makeVoice(data, 0, 2 * 37, 2 * 7, PingPong, Step237);
    // Ping-pong, followed frame by frame: reaching the end mirrors about the last frame,
    // falling below the loop start mirrors about the first.
    int64_t x = 0;
    bool backwards = false;
    for (uint32_t frames = 576; frames < 20000; frames += 576) {
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
        EXPECT_EQ(truePosition(forward),
                  first + (int64_t(frames) * Step237 - first) % (end - first));
        EXPECT_EQ(truePosition(pingPong), x);
        EXPECT_EQ((pingPong.flags & VoiceBackwards) != 0, backwards);
    }
}

// Passing over frames without output must leave a voice where mixing leaves it, which checks
// for a partner frame and moves one frame at a time, whatever the loop, its length and the step,
// also at the steps where going round a loop turns into stopping.
TEST(SilentAdvance, ManyFramesAtOnceMoveAsMixingDoesFrameByFrame) {
    std::mt19937 rng(2024);
    for (int round = 0; round < 5000; ++round) {
        SCOPED_TRACE(round);
        VoiceCursor whole = randomCursor(rng);
        if (!whole.prepareSegment())
            continue;
        VoiceCursor mixed = whole;
        const uint32_t frames = 2 * static_cast<uint32_t>(rng() % 3000);
        whole.advanceSilently(frames);
        uint32_t partner;
        for (uint32_t done = 0; done < frames && mixed.active(); ++done) {
            if (mixed.partnerFrame(partner))
                mixed.advance();
            else
                mixed.stop();
        }
        ASSERT_EQ(whole.flags, mixed.flags);
        if (!mixed.active())
            continue; // where a stopped voice rests does not matter
        ASSERT_EQ(whole.index, mixed.index);
        ASSERT_EQ(whole.fraction, mixed.fraction);
        ASSERT_EQ(whole.looped, mixed.looped);
    }
}

TEST(SilentAdvance, ATinyLoopIsPassedOverForAnHourInOneCall) {
    // Some billion turns of a two-frame loop; stepping them one by one would take minutes.
    for (const auto& [loop, turns] :
         {std::pair<uint8_t, uint8_t>{Loop, 0}, {PingPong, 0}, {PingPong, Ends}}) {
        VoiceCursor c{};
        c.flags = VoiceActive | loop;
        c.turns = turns;
        c.loopFrame = 10;
        c.endFrame = 12;
        c.step = 0x6000;
        ASSERT_TRUE(c.prepareSegment());
        c.advanceSilently(3600u * 96000u);
        EXPECT_TRUE(c.active());
        EXPECT_GE(c.index, 10u);
        EXPECT_LT(c.index, 12u);
    }
}
