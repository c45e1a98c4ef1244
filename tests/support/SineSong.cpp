#include "support/SineSong.h"

#include "support/ItFileBuilder.h"

#include <cmath>
#include <complex>
#include <numbers>

namespace tolva::test {

namespace {

ItTestSample sineSample(uint32_t period) {
    // Loops of 256 frames, so that every period divides one.
    constexpr uint32_t Frames = 256;
    ItTestSample s{.flags = 0x13, .frames = Frames, .loopEnd = Frames, .rate = 48000};
    for (uint32_t n = 0; n < Frames; ++n) {
        const auto v =
            static_cast<int16_t>(std::lround(16384 * std::sin(2 * std::numbers::pi * n / period)));
        s.data.push_back(static_cast<uint8_t>(v & 0xFF));
        s.data.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
    }
    return s;
}

} // namespace

std::vector<uint8_t> sineSong() {
    ItFileBuilder b;
    b.flags = 0x0009; // stereo, linear slides
    b.samples = {sineSample(32), sineSample(8)};
    b.patterns = {itPattern(itRows("84 1" + std::string(32, ',') + "84 2"))};
    return b.build();
}

double toneLevel(const float* signal, uint32_t frames, uint32_t stride, double rate, double hz) {
    const std::complex<double> turn = std::polar(1.0, -2 * std::numbers::pi * hz / rate);
    std::complex<double> phase = 1, sum = 0;
    double gain = 0;
    for (uint32_t n = 0; n < frames; ++n, phase *= turn) {
        const double x = 2 * std::numbers::pi * n / (frames - 1);
        const double w =
            0.35875 - 0.48829 * std::cos(x) + 0.14128 * std::cos(2 * x) - 0.01168 * std::cos(3 * x);
        sum += w * signal[n * stride] * phase;
        gain += w;
    }
    return 2 * std::abs(sum) / gain;
}

double findTone(const float* signal, uint32_t frames, uint32_t stride, double rate, double hz) {
    // The window's main lobe is 8 bins wide: a scan in half bins lands on it, and halving the
    // interval around the best point from there climbs to its top.
    const double bin = rate / frames;
    double best = hz, level = 0;
    for (double f = hz * 0.97; f < hz * 1.03; f += bin / 2) {
        const double l = toneLevel(signal, frames, stride, rate, f);
        if (l > level) {
            level = l;
            best = f;
        }
    }
    for (double width = bin / 2; width > bin / 1000; width /= 2)
        for (const double f : {best - width / 2, best + width / 2})
            if (const double l = toneLevel(signal, frames, stride, rate, f); l > level) {
                level = l;
                best = f;
            }
    return best;
}

std::vector<double> imageFrequencies(double toneHz, double playedRate, double rate, int orders) {
    std::vector<double> out;
    for (int k = 1; k <= orders; ++k)
        for (const double f : {k * playedRate - toneHz, k * playedRate + toneHz}) {
            const double folded = std::fmod(f, rate);
            out.push_back(folded > rate / 2 ? rate - folded : folded);
        }
    return out;
}

double decibels(double ratio) {
    return 20 * std::log10(ratio);
}

} // namespace tolva::test
