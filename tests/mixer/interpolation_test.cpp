// The interpolation modes: the spectrum of pure tones resampled in a built song, and looped
// voices read through the kernels of the Cubic and Sinc modes.
#include "support/MixerHarness.h"
#include "support/ScannedSong.h"
#include "support/SineSong.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace tolva;
using namespace tolva::test;

namespace {

constexpr uint32_t Rate = 44100;
constexpr uint32_t Window = 16384;

// The sine song's left channel as floats, a window from `seconds` on.
std::vector<float> sineSongOutput(Interpolation mode, double seconds) {
    ScannedSong song = scanSong(sineSong(), Settings{});
    startPlayback(song, Rate, static_cast<uint32_t>(seconds * 1000));
    const RenderFormat format{.floatSamples = 1, .interpolation = mode};
    std::vector<float> out(2 * Window);
    EXPECT_EQ(song.session->renderFrames(Window, out.data(), &format), Window);
    return out;
}

// The level of each frequency given in dB below `reference`.
std::vector<double> levels(const std::vector<float>& out, const std::vector<double>& hz,
                           double reference) {
    std::vector<double> dB;
    for (const double f : hz)
        dB.push_back(decibels(toneLevel(out.data(), Window, 2, Rate, f) / reference));
    return dB;
}

} // namespace

TEST(Interpolation, ImagesOfTonesPlayedTwoOctavesUp) {
    // A tone of f cycles a sample frame is weighed by sinc(f) held (None) and by sinc(f)^2
    // through lines (Linear). The first tone has f = 1/32, so its first images, at 1 -+ 1/32,
    // lie 20 log(1/31) and 20 log(1/33) dB below it, and twice that through lines. The second,
    // f = 1/8, lies above the output's half rate and folds back at its own level but for
    // sinc(1/8) / sinc(1/32) (twice that in dB through lines); the Sinc mode filters it out.
    const struct {
        Interpolation mode;
        std::vector<double> firstImages; // expected, or the highest allowed
        double fold;                     // the same for the folded tone
    } cases[] = {
        {Interpolation::None, {-29.83, -30.37}, -0.21},
        {Interpolation::Linear, {-59.66, -60.75}, -0.42},
        {Interpolation::Cubic, {-80, -80}, 0},
        {Interpolation::Sinc, {-110, -110}, -45},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.mode));
        const std::vector<float> first = sineSongOutput(c.mode, 0.1);
        const double hz = findTone(first.data(), Window, 2, Rate, SineToneHz[0]);
        const double tone = toneLevel(first.data(), Window, 2, Rate, hz);
        const std::vector<double> images =
            levels(first, imageFrequencies(hz, 32 * hz, Rate, 8), tone);
        const std::vector<float> second = sineSongOutput(c.mode, SineSecondToneSeconds + 0.1);
        const double fold = levels(second, {Rate - 4 * hz}, tone)[0];
        if (c.mode == Interpolation::None || c.mode == Interpolation::Linear) {
            EXPECT_NEAR(images[0], c.firstImages[0], 0.1);
            EXPECT_NEAR(images[1], c.firstImages[1], 0.1);
            EXPECT_NEAR(fold, c.fold, 0.1);
        } else {
            EXPECT_LT(*std::max_element(images.begin(), images.end()), c.firstImages[0]);
            EXPECT_LT(fold, c.fold);
        }
    }
}

TEST(Interpolation, KernelsHoldAConstantThroughLoopsAndTurns) {
    // Kernels whose weights sum to 1 read the played frames around the voice across every wrap
    // and turn: a constant sample stays constant at any step, at or above a frame a frame.
    constexpr uint8_t Loop = VoiceLoop, PingPong = VoiceLoop | VoicePingPong;
    for (const uint8_t layout :
         {0, int(Voice16Bit), int(VoiceStereo), int(Voice16Bit | VoiceStereo)})
        for (const uint8_t loop : {Loop, PingPong})
            for (const uint32_t step : {0xB000u, 0x10000u, 0x2A000u, 0x70000u})
                for (const Interpolation mode : {Interpolation::Cubic, Interpolation::Sinc}) {
                    const uint32_t frameBytes =
                        (layout & Voice16Bit ? 2 : 1) * (layout & VoiceStereo ? 2 : 1);
                    const std::vector<uint8_t> data(40 * frameBytes, 0x30);
                    // In a loop over the whole sample that it has gone round: nothing before the
                    // voice is silence.
                    Voice v = makeVoice(data, 20 * frameBytes, 40 * frameBytes, 0, layout | loop,
                                        step, 64, 0);
                    v.looped = true;
                    const std::vector<int32_t> left = leftOf(
                        mixFrames(&v, 1, 1000, {.interpolation = mode, .turns = TurnRepeatsEnd}));
                    const auto [low, high] = std::minmax_element(left.begin(), left.end());
                    EXPECT_LE(*high - *low, 1) << int(layout) << " " << int(loop) << " " << step;
                }
}
