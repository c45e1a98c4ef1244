// The mixer as a player drives it: starting and stopping voices, their activity, the voice
// count, tick callbacks, muting and the length limit.
#include "support/MixerHarness.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace tolva;
using namespace tolva::test;

namespace {

class MixerControl : public ::testing::Test {
protected:
    FakeOwner owner;
    MixerPtr mixer = makeMixer(owner, 44100, 4);
};

TEST_F(MixerControl, StartTakesTheOwnersSample) {
    const std::vector<uint8_t> data(300, 0);
    // An odd end of 16-bit data: the last whole frame ends at 200.
    owner.start = {data.data(), 10, 201, 40, Voice16Bit | VoiceLoop, 50, 70, 0xFF};
    mixer->startVoice(3, nullptr);
    const Voice& v = mixer->voice(3);
    const uint8_t* d = data.data();
    EXPECT_EQ(std::tuple(v.position, v.end, v.loopStart), std::tuple(d + 10, d + 200, d + 40));
    EXPECT_EQ(v.flags, VoiceActive | Voice16Bit | VoiceLoop);
    // The note sounds at once at its volume; 0x80 is the mixer's default sign flip.
    EXPECT_EQ(std::tuple(v.volume, v.targetVolume, v.panning, v.rampCountdown, v.signFlip),
              std::tuple(50, 50, 70, 6, 0x80));
    owner.start.sign = 0;
    mixer->startVoice(3, nullptr);
    EXPECT_EQ(mixer->voice(3).signFlip, 0);
}

TEST_F(MixerControl, DeclinedStartLeavesTheVoiceStoppedWithItsTail) {
    const std::vector<uint8_t> data(300, 0x40);
    startSample(*mixer, owner, 0, data, 300, 0, 0);
    render16(*mixer, 200);
    const int32_t last = mixer->voice(0).lastLeft;
    EXPECT_NE(last, 0);
    owner.acceptStarts = false;
    mixer->startVoice(0, nullptr);
    const Voice& v = mixer->voice(0);
    EXPECT_EQ(std::tuple(v.flags & VoiceActive, v.holdLeft, v.holdLevel), std::tuple(0, last, 8));
    // Stopping a stopped voice changes nothing.
    mixer->stopVoice(0);
    EXPECT_EQ(v.holdLevel, 8);
}

TEST_F(MixerControl, ActivityRecordsFlagsAndPeakVolume) {
    const std::vector<uint8_t> data(3000, 0x40);
    startSample(*mixer, owner, 1, data, 3000, 0, VoiceLoop, 40);
    // Fading in from 0, the voice counts at the volume it is heading for.
    mixer->render(12, nullptr, nullptr);
    const auto activity = [&] {
        const VoiceActivity a = mixer->voiceActivity(1);
        return std::tuple(a.flags, a.peakVolume);
    };
    EXPECT_EQ(activity(), std::tuple(VoiceActive | VoiceLoop, 40));
    mixer->clearVoiceActivity(1);
    EXPECT_EQ(activity(), std::tuple(0, 0));
    EXPECT_EQ(mixer->voiceActivity(0).flags, 0);

    EXPECT_TRUE(mixer->setVoiceCount(64));
    EXPECT_FALSE(mixer->setVoiceCount(65));
    EXPECT_EQ(mixer->voiceCount(), 64u);
    EXPECT_TRUE(mixer->reset());
    EXPECT_EQ(std::tuple(mixer->voice(1).flags, mixer->voice(1).position), std::tuple(0, nullptr));
    EXPECT_EQ(mixer->framesRendered(), 0u);
}

TEST_F(MixerControl, TickSlotRules) {
    TickRecorder a, b, c, d, e;
    EXPECT_EQ((std::vector<bool>{mixer->addTickListener(&a, 7), mixer->addTickListener(&b, 100),
                                 mixer->addTickListener(&c, 100), mixer->addTickListener(&d, 100),
                                 mixer->addTickListener(&e, 100)}),
              (std::vector<bool>{true, true, true, true, false}));
    // Re-adding updates the slot instead of taking another; the freed slot goes to e.
    EXPECT_TRUE(mixer->addTickListener(&b, 10));
    mixer->removeTickListener(&c);
    EXPECT_TRUE(mixer->addTickListener(&e, 1000));
    // Intervals that cannot advance the render are refused.
    EXPECT_FALSE(mixer->addTickListener(&c, 1));

    // Every first tick is due at frame 0; frames go in pairs, so the odd interval of 7
    // alternates 6 and 8, from one render call to the next.
    EXPECT_EQ(render16(*mixer, 10), 10u);
    EXPECT_EQ(render16(*mixer, 18), 18u);
    using Lists = std::vector<std::vector<uint32_t>>;
    EXPECT_EQ((Lists{a.frames, a.slots, b.frames, b.slots, c.frames, d.frames, e.frames}),
              (Lists{{0, 6, 14, 20, 28}, {0, 0, 0, 0, 0}, {0, 10, 20}, {1, 1, 1}, {}, {0}, {0}}));
}

TEST_F(MixerControl, EndOfSongStopsTheRender) {
    TickRecorder tempo, other;
    tempo.endOnTick = 2;
    mixer->addTickListener(&tempo, 100);
    mixer->addTickListener(&other, 100);
    // The render stops at the tick; later slots are not visited.
    EXPECT_EQ(mixer->render(576, nullptr, nullptr), 100u);
    EXPECT_EQ(other.frames, (std::vector<uint32_t>{0}));

    // The length scan asks for "everything" and relies on the end of the song.
    mixer->removeTickListener(&tempo);
    mixer->removeTickListener(&other);
    TickRecorder scan;
    scan.endOnTick = 4;
    mixer->addTickListener(&scan, 40000);
    EXPECT_EQ(mixer->render(0xFFFFFFFFu, nullptr, nullptr), 120000u);
    EXPECT_EQ(render16(*mixer, 70000), 70000u);

    // An owner that has ended renders nothing at all.
    owner.ended = true;
    EXPECT_EQ(mixer->render(576, nullptr, nullptr), 0u);
}

TEST_F(MixerControl, MutedMixerOnlyCountsFrames) {
    std::vector<uint8_t> data(1000, 0x40);
    startSample(*mixer, owner, 0, data, 1000, 0, 0);
    TickRecorder tempo;
    mixer->addTickListener(&tempo, 100);
    mixer->setMuted(true);
    EXPECT_EQ(mixer->render(400, nullptr, nullptr), 400u);
    EXPECT_EQ(tempo.frames.size(), 5u);
    EXPECT_EQ(mixer->voice(0).position, data.data());
    EXPECT_EQ(mixer->voiceActivity(0).flags, 0);
    mixer->setMuted(false);
    mixer->render(400, nullptr, nullptr);
    EXPECT_EQ(mixer->voice(0).position, data.data() + 400);
    EXPECT_EQ(mixer->voiceActivity(0).flags, VoiceActive);
}

TEST_F(MixerControl, LengthLimitCutsTheRenderAndPositionSetsTheFrameCounter) {
    mixer->setLengthLimit(1001); // 44144.1 frames
    mixer->setPosition(0);
    EXPECT_EQ(mixer->render(44000, nullptr, nullptr), 44000u);
    EXPECT_EQ(render16(*mixer, 576), 144u);
    EXPECT_EQ(mixer->framesRendered(), 44144u);
    EXPECT_EQ(mixer->render(576, nullptr, nullptr), 0u);
    EXPECT_EQ(render16(*mixer, 576), 0u);

    mixer->setLengthLimit(0);
    mixer->setPosition(1001);
    EXPECT_EQ(mixer->framesRendered(), 44144u);
    // Seeking to an odd frame: the limit leaves an odd count, rendered in full.
    mixer->setPosition(10);    // 441
    mixer->setLengthLimit(20); // 882
    EXPECT_EQ(render16(*mixer, 576), 441u);
    mixer->setLengthLimit(0);
    EXPECT_EQ(mixer->render(576, nullptr, nullptr), 576u);
}

} // namespace
