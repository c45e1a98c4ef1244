// Volume ramps and the declick tail of stopped voices, at 44100 Hz (a ramp step every 6
// frames). One voice plays a constant 1000 panned hard left; at volume v it adds
// floor(33768 v / 16) - 2048 v to the left channel (4000 at volume 64).
#include "support/MixerHarness.h"

#include <gtest/gtest.h>

using namespace tolva;
using namespace tolva::test;

namespace {

int32_t level(int volume) {
    return 33768 * volume / 16 - 2048 * volume;
}

// Left accumulator values: with one voice the 32-bit output is the accumulator x 16384.
std::vector<int32_t> renderLeft(SoftwareMixer& mixer, uint32_t frames) {
    std::vector<int32_t> out(2 * static_cast<std::size_t>(frames));
    RenderFormat format;
    format.bits = 32;
    mixer.render(frames, out.data(), &format);
    std::vector<int32_t> left;
    for (std::size_t i = 0; i < out.size(); i += 2)
        left.push_back(out[i] / 16384);
    return left;
}

struct Playing {
    FakeOwner owner;
    MixerPtr mixer = makeMixer(owner);
    std::vector<uint8_t> data = words16(std::vector<int>(4000, 1000));

    void start(uint8_t volume = 64) {
        startSample(*mixer, owner, 0, data, static_cast<uint32_t>(data.size()), 0, Voice16Bit,
                    volume, 0);
        mixer->setVoiceStep(0, 0x10000);
    }
};

} // namespace

TEST(RampDeclick, StartedVoiceFadesInInStepsOfTwo) {
    Playing p;
    p.start();
    EXPECT_EQ(p.mixer->voice(0).volume, 0);
    const std::vector<int32_t> left = renderLeft(*p.mixer, 200);
    for (int i = 0; i < 200; ++i) {
        const int volume = i / 6 * 2 < 64 ? i / 6 * 2 : 64;
        ASSERT_EQ(left[i], level(volume)) << i;
    }
}

TEST(RampDeclick, StoppedVoiceLeavesATailFadingFromTheNextRampStep) {
    Playing p;
    p.start();
    renderLeft(*p.mixer, 300);
    p.mixer->stopVoice(0);
    EXPECT_EQ(p.mixer->voice(0).holdLevel, 8);
    std::vector<int32_t> expected;
    for (int32_t held : {3000, 2000, 1000, 0, 0})
        expected.insert(expected.end(), 6, held);
    EXPECT_EQ(renderLeft(*p.mixer, 30), expected);
    EXPECT_EQ(p.mixer->voice(0).holdLevel, 0);

    // A new volume takes a ramp step on the next frame; 4 frames leave 2 of the interval.
    p.start();
    renderLeft(*p.mixer, 300);
    p.mixer->setVoiceVolume(0, 32);
    EXPECT_EQ(renderLeft(*p.mixer, 4), std::vector<int32_t>(4, level(62)));
    p.mixer->stopVoice(0);
    expected.assign(2, level(62));
    for (int eighths : {6, 4, 2, 0})
        expected.insert(expected.end(), 6, eighths * level(62) / 8);
    EXPECT_EQ(renderLeft(*p.mixer, 26), expected);
}

TEST(RampDeclick, RestartedVoiceCarriesTheOldTail) {
    Playing p;
    p.start();
    renderLeft(*p.mixer, 300);
    p.start(); // stops the sounding note, which fades while the new one fades in
    const std::vector<int32_t> left = renderLeft(*p.mixer, 24);
    EXPECT_EQ(left[0], 4000);            // 8/8 of the old note, the new one at volume 0
    EXPECT_EQ(left[6], 3000 + level(2)); // 6/8 and volume 2
    EXPECT_EQ(left[18], 1000 + level(6));
}

TEST(RampDeclick, WithoutRampingChangesAreImmediateAndPanningRampsToo) {
    Playing p;
    p.mixer->setRampingEnabled(false);
    p.start();
    EXPECT_EQ(renderLeft(*p.mixer, 4), std::vector<int32_t>(4, 4000));
    p.mixer->setVoiceVolume(0, 32);
    EXPECT_EQ(renderLeft(*p.mixer, 2), std::vector<int32_t>(2, level(32)));
    p.mixer->setRampingEnabled(true);
    p.mixer->setVoicePanning(0, 8);
    std::vector<int> panning;
    for (uint32_t frames : {2, 12, 6}) {
        renderLeft(*p.mixer, frames);
        panning.push_back(p.mixer->voice(0).panning);
    }
    EXPECT_EQ(panning, (std::vector<int>{2, 6, 8}));
    p.mixer->setRampingEnabled(false);
    p.mixer->stopVoice(0);
    EXPECT_EQ(renderLeft(*p.mixer, 4), std::vector<int32_t>(4, 0));
}
