#include "Waveforms.h"

#include <cmath>

namespace demosong {

namespace {

constexpr double Pi = 3.14159265358979323846;

int8_t clip(double v) {
    return static_cast<int8_t>(std::lround(std::fmax(-127.0, std::fmin(127.0, v * 127.0))));
}

// A fixed generator so the demo file is the same on every build.
class Noise {
public:
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return static_cast<double>(state_ >> 8) / 8388608.0 - 1.0;
    }

private:
    uint32_t state_ = 0x2545F491u;
};

ModSample looped(const char* name, std::vector<int8_t> cycle, uint8_t volume) {
    ModSample s;
    s.name = name;
    s.loopLength = static_cast<uint32_t>(cycle.size());
    s.data = std::move(cycle);
    s.volume = volume;
    return s;
}

} // namespace

ModSample squareLead() {
    std::vector<int8_t> cycle(32);
    for (int i = 0; i < 32; ++i)
        cycle[i] = i < 8 ? 90 : -90;
    return looped("square lead", cycle, 40);
}

ModSample sawBass() {
    std::vector<int8_t> cycle(32);
    for (int i = 0; i < 32; ++i)
        cycle[i] = clip(1.0 - i / 16.0);
    return looped("saw bass", cycle, 48);
}

ModSample softPad() {
    std::vector<int8_t> cycle(32);
    for (int i = 0; i < 32; ++i)
        cycle[i] = clip(i < 16 ? -1.0 + i / 8.0 : 3.0 - i / 8.0);
    return looped("triangle pad", cycle, 32);
}

ModSample kickDrum() {
    ModSample s{"kick", std::vector<int8_t>(2400), 64};
    double phase = 0;
    for (std::size_t i = 0; i < s.data.size(); ++i) {
        double t = i / 8287.0;
        phase += 2 * Pi * (45.0 + 160.0 * std::exp(-t * 30.0)) / 8287.0;
        s.data[i] = clip(std::sin(phase) * std::exp(-t * 9.0));
    }
    return s;
}

ModSample snareDrum() {
    ModSample s{"snare", std::vector<int8_t>(3000), 48};
    Noise noise;
    for (std::size_t i = 0; i < s.data.size(); ++i) {
        double t = i / 16574.0;
        double tone = std::sin(2 * Pi * 190.0 * t) * std::exp(-t * 40.0);
        s.data[i] = clip((0.8 * noise.next() + 0.5 * tone) * std::exp(-t * 18.0));
    }
    return s;
}

ModSample closedHat() {
    ModSample s{"hi-hat", std::vector<int8_t>(700), 28};
    Noise noise;
    double last = 0;
    for (std::size_t i = 0; i < s.data.size(); ++i) {
        double n = noise.next();
        double bright = n - last; // crude high-pass
        last = n;
        s.data[i] = clip(0.6 * bright * std::exp(-static_cast<double>(i) / 120.0));
    }
    return s;
}

} // namespace demosong
