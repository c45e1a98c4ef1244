// Measures how a player resamples: writes the sine song (`tolva_aliasing song FILE.it`) and reads
// a player's WAV rendering of it (`tolva_aliasing levels FILE.wav`, 16-bit or float, stereo),
// printing the strongest image of the first tone and what the second, above the half rate,
// folds into the band, both in dB below the first tone.
#include "support/SineSong.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace tolva::test;

namespace {

constexpr uint32_t Window = 16384;
constexpr double SettleSeconds = 0.1; // past the note's start and its volume ramp

struct Wave {
    uint32_t rate = 0;
    std::vector<float> left;
};

uint32_t little(const uint8_t* p, int bytes) {
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

// The left channel of a stereo WAV of 16-bit integers or 32-bit floats; empty when it is not one.
Wave readWave(const char* path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(file)), {});
    Wave w;
    uint32_t format = 0, channels = 0, bits = 0;
    for (std::size_t at = 12; at + 8 <= b.size();) {
        const uint32_t size = little(&b[at + 4], 4);
        const uint8_t* body = &b[at + 8];
        if (!std::memcmp(&b[at], "fmt ", 4) && size >= 16) {
            format = little(body, 2);
            channels = little(body + 2, 2);
            w.rate = little(body + 4, 4);
            bits = little(body + 14, 2);
        } else if (!std::memcmp(&b[at], "data", 4) && channels == 2) {
            const std::size_t frames = std::min<std::size_t>(size, b.size() - at - 8) / (bits / 4);
            for (std::size_t i = 0; i < frames; ++i) {
                const uint8_t* frame = body + i * (bits / 4);
                if (format == 3 && bits == 32) {
                    float v;
                    std::memcpy(&v, frame, 4);
                    w.left.push_back(v);
                } else if (format == 1 && bits == 16) {
                    w.left.push_back(static_cast<int16_t>(little(frame, 2)) / 32768.0f);
                }
            }
        }
        at += 8 + size + (size & 1);
    }
    return w;
}

// The strongest component of `frequencies` in the window from `at`, in dB below `reference`.
double strongest(const float* at, uint32_t rate, const std::vector<double>& frequencies,
                 double reference) {
    double level = 0;
    for (const double f : frequencies)
        level = std::max(level, toneLevel(at, Window, 1, rate, f));
    return decibels(level / reference);
}

int levels(const char* path) {
    const Wave w = readWave(path);
    const double secondStart = SineSecondToneSeconds + SettleSeconds;
    if (w.rate == 0 || w.left.size() < (secondStart + 1) * w.rate) {
        std::fprintf(stderr, "%s: not a stereo WAV of the sine song\n", path);
        return 1;
    }
    const float* first = w.left.data() + static_cast<std::size_t>(SettleSeconds * w.rate);
    const double tone = findTone(first, Window, 1, w.rate, SineToneHz[0]);
    const double level = toneLevel(first, Window, 1, w.rate, tone);
    const double images =
        strongest(first, w.rate, imageFrequencies(tone, 32 * tone, w.rate, 8), level);
    // The second tone lies above the half rate: what is heard of it is its fold, rate - f, and
    // the folds of its images.
    const float* second = w.left.data() + static_cast<std::size_t>(secondStart * w.rate);
    const double heard = findTone(second, Window, 1, w.rate, w.rate - SineToneHz[1]);
    std::vector<double> folds = imageFrequencies(w.rate - heard, 8 * (w.rate - heard), w.rate, 8);
    folds.push_back(heard);
    std::printf("tone %.1f Hz at %.1f dBFS; images %.1f dB; tone above half rate %.1f dB\n", tone,
                decibels(level), images, strongest(second, w.rate, folds, level));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const std::string command = argc == 3 ? argv[1] : "";
    if (command == "song") {
        const std::vector<uint8_t> bytes = sineSong();
        std::ofstream(argv[2], std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        return 0;
    }
    if (command == "levels")
        return levels(argv[2]);
    std::fprintf(stderr, "usage: tolva_aliasing song FILE.it | levels FILE.wav\n");
    return 2;
}
