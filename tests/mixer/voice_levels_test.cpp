// Levels of single voices, checked against values worked out by hand. A 16-bit sample s at
// volume 64, gain 256, panned hard left adds 4 x s to the left channel.
#include "support/MixerHarness.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace tolva;
using namespace tolva::test;

namespace {

// Volume ramps and the declick tail of stopped voices, at 44100 Hz (a ramp step every 6
// frames). One voice plays a constant 1000 panned hard left; at volume v it adds
// floor(33768 v / 16) - 2048 v to the left channel (4000 at volume 64).
int32_t level(int volume) {
    return 33768 * volume / 16 - 2048 * volume;
}

class RampDeclick : public ::testing::Test {
protected:
    void start(uint8_t volume = 64) {
        startSample(*mixer, owner, 0, data, static_cast<uint32_t>(data.size()), 0, Voice16Bit,
                    volume, 0);
    }

    // Left accumulator values: with one voice the 32-bit output is the accumulator x 16384.
    std::vector<int32_t> renderLeft(uint32_t frames) {
        std::vector<int32_t> out(2 * static_cast<std::size_t>(frames));
        const RenderFormat format{.bits = 32};
        mixer->render(frames, out.data(), &format);
        std::vector<int32_t> left = leftOf(out);
        for (int32_t& value : left)
            value /= 16384;
        return left;
    }

    FakeOwner owner;
    MixerPtr mixer = makeMixer(owner);
    std::vector<uint8_t> data = words16(std::vector<int>(4000, 1000));
};

} // namespace

TEST(Resampling, RampSignalAtAnyStep) {
    // Frame n sits at n x step, where the ramp holds 100 x that; without interpolation the frame
    // below it plays.
    const std::vector<uint8_t> ramp = indexRamp16(300);
    for (const bool interpolate : {true, false})
        for (uint32_t step : {0x10000u, 0x8000u, 0x25EB8u}) {
            std::vector<int32_t> expected;
            for (uint64_t n = 0; n < 100; ++n) {
                const uint64_t at = interpolate ? n * step : n * step & ~uint64_t{0xFFFF};
                expected.push_back(static_cast<int32_t>(400 * at / 65536));
            }
            Voice rising = makeVoice(ramp, 0, 600, 0, Voice16Bit, step);
            const MixOptions options{.interpolation =
                                         interpolate ? Interpolation::Linear : Interpolation::None};
            EXPECT_EQ(leftOf(mixFrames(&rising, 1, 100, options)), expected)
                << step << " " << interpolate;
        }
}

TEST(Resampling, SampleFormatsVolumeAndPanning) {
    // 1000 and 500.
    const std::vector<uint8_t> pair = {0xE8, 0x03, 0xF4, 0x01};
    constexpr uint8_t S16 = Voice16Bit | VoiceStereo, Sur = Voice16Bit | VoiceSurround;
    const struct {
        const char* what;
        std::vector<uint8_t> frame;
        uint8_t flags, signFlip, volume, panning;
        std::vector<int32_t> out; // left, right
        MixOptions options = {};
    } cases[] = {
        // A byte is the high half of 16 bits: 0 stays silent, 127 is 32512.
        {"8-bit signed 0", {0}, 0, 0x80, 64, 0, {0, 0}},
        {"8-bit unsigned 0x80", {0x80}, 0, 0, 64, 0, {0, 0}},
        {"8-bit full scale", {0x7F}, 0, 0x80, 64, 0, {130048, 0}},
        {"16-bit unsigned silence", {0x00, 0x80}, Voice16Bit, 0, 64, 0, {0, 0}},
        {"loudest left", {0xFF, 0x7F}, Voice16Bit, 0x80, 255, 0, {522224, 0}},
        {"loudest right", {0x00, 0x80}, Voice16Bit, 0x80, 255, 255, {0, -522240}},
        {"centre", {0xE8, 0x03}, Voice16Bit, 0x80, 64, 128, {2000, 2000}},
        {"volume 0", {0xFF, 0x7F}, Voice16Bit, 0x80, 0, 0, {0, 0}},
        {"gain 0", {0xFF, 0x7F}, Voice16Bit, 0x80, 255, 0, {0, 0}, {.gain = 0}},
        // Each side of stereo data pans as a mono voice would, into its own output only.
        {"stereo centre", pair, S16, 0x80, 64, 128, {2000, 1000}},
        {"stereo right", pair, S16, 0x80, 64, 255, {0, 2000}},
        {"stereo left", pair, S16, 0x80, 64, 0, {4000, 0}},
        {"stereo 192", pair, S16, 0x80, 64, 192, {1000, 1500}},
        {"8-bit stereo", {0x7F, 0x80}, VoiceStereo, 0x80, 64, 128, {65024, -65536}},
        {"surround", {0xE8, 0x03}, Sur, 0x80, 64, 128, {2000, -2000}},
        {"surround mono", {0xE8, 0x03}, Sur, 0x80, 64, 128, {2000, 2000}, {.forceMono = true}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> data;
        for (int i = 0; i < 8; ++i)
            data.insert(data.end(), c.frame.begin(), c.frame.end());
        Voice v =
            makeVoice(data, 0, uint32_t(data.size()), 0, c.flags, 0x10000, c.volume, c.panning);
        v.signFlip = c.signFlip;
        EXPECT_EQ(mixFrames(&v, 1, 2, c.options),
                  (std::vector<int32_t>{c.out[0], c.out[1], c.out[0], c.out[1]}));
    }
}

// As the trackers do, a note starts at its full volume: a drum keeps its attack.
TEST_F(RampDeclick, StartedVoiceSoundsAtOnce) {
    start();
    EXPECT_EQ(renderLeft(12), std::vector<int32_t>(12, level(64)));
}

TEST_F(RampDeclick, StoppedVoiceLeavesATailFadingFromTheNextRampStep) {
    start();
    renderLeft(300);
    mixer->stopVoice(0);
    EXPECT_EQ(mixer->voice(0).holdLevel, 8);
    std::vector<int32_t> expected;
    for (int32_t held : {3000, 2000, 1000, 0, 0})
        expected.insert(expected.end(), 6, held);
    EXPECT_EQ(renderLeft(30), expected);
    EXPECT_EQ(mixer->voice(0).holdLevel, 0);

    // A new volume takes a ramp step on the next frame; 4 frames leave 2 of the interval.
    start();
    renderLeft(300);
    mixer->setVoiceVolume(0, 32);
    EXPECT_EQ(renderLeft(4), std::vector<int32_t>(4, level(62)));
    mixer->stopVoice(0);
    expected.assign(2, level(62));
    for (int eighths : {6, 4, 2, 0})
        expected.insert(expected.end(), 6, eighths * level(62) / 8);
    EXPECT_EQ(renderLeft(26), expected);
}

TEST_F(RampDeclick, RestartedVoiceCarriesTheOldTail) {
    start();
    renderLeft(300);
    start(); // stops the sounding note, which fades under the new one
    const std::vector<int32_t> left = renderLeft(24);
    EXPECT_EQ(left[0], 4000 + 4000); // 8/8 of the old note
    EXPECT_EQ(left[6], 3000 + 4000); // 6/8
    EXPECT_EQ(left[18], 1000 + 4000);
}

TEST_F(RampDeclick, WithoutRampingChangesAreImmediateAndPanningRampsToo) {
    mixer->setRampingEnabled(false);
    start();
    EXPECT_EQ(renderLeft(4), std::vector<int32_t>(4, 4000));
    mixer->setVoiceVolume(0, 32);
    EXPECT_EQ(renderLeft(2), std::vector<int32_t>(2, level(32)));
    mixer->setRampingEnabled(true);
    mixer->setVoicePanning(0, 8);
    std::vector<int> panning;
    for (uint32_t frames : {2, 12, 6}) {
        renderLeft(frames);
        panning.push_back(mixer->voice(0).panning);
    }
    EXPECT_EQ(panning, (std::vector<int>{2, 6, 8}));
    mixer->setRampingEnabled(false);
    mixer->stopVoice(0);
    EXPECT_EQ(renderLeft(4), std::vector<int32_t>(4, 0));
}
