// The mixer's voice operations as a player uses them: starting, stopping, flags,
// activity and the voice count.
#include "support/MixerHarness.h"

#include <gtest/gtest.h>

#include <tuple>

using namespace tolva;
using namespace tolva::test;

namespace {

class VoiceControl : public ::testing::Test {
protected:
    FakeOwner owner;
    MixerPtr mixer = makeMixer(owner, 44100, 4);
};

TEST_F(VoiceControl, StartTakesTheOwnersSample) {
    const std::vector<uint8_t> data(300, 0);
    // An odd end of 16-bit data: the last whole frame ends at 200.
    owner.start = {data.data(), 10, 201, 40, Voice16Bit | VoiceLoop, 50, 70, 0xFF};
    mixer->startVoice(3, nullptr);
    const Voice& v = mixer->voice(3);
    const uint8_t* d = data.data();
    EXPECT_EQ(std::tuple(v.position, v.end, v.loopStart), std::tuple(d + 10, d + 200, d + 40));
    EXPECT_EQ(v.flags, VoiceActive | Voice16Bit | VoiceLoop);
    // Volume ramps in from 0; 0x80 is the mixer's default sign flip.
    EXPECT_EQ(std::tuple(v.volume, v.targetVolume, v.panning, v.rampCountdown, v.signFlip),
              std::tuple(0, 50, 70, 6, 0x80));
    owner.start.sign = 0;
    mixer->startVoice(3, nullptr);
    EXPECT_EQ(mixer->voice(3).signFlip, 0);
}

TEST_F(VoiceControl, DeclinedStartLeavesTheVoiceStoppedWithItsTail) {
    const std::vector<uint8_t> data(300, 0x40);
    startSample(*mixer, owner, 0, data, 300, 0, 0);
    mixer->setVoiceStep(0, 0x10000);
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

TEST_F(VoiceControl, ActivityRecordsFlagsAndPeakVolume) {
    const std::vector<uint8_t> data(3000, 0x40);
    startSample(*mixer, owner, 1, data, 3000, 0, VoiceLoop, 40);
    mixer->setVoiceStep(1, 0x10000);
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

} // namespace
