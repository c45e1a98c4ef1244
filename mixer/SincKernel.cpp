#include "mixer/SincKernel.h"

namespace tolva {

namespace {

// The kernels are worked out by the compiler, with series for what the table needs.
constexpr double Pi = 3.14159265358979323846;

// A windowed sinc: its width in frames, the window's shape (larger: lower side lobes and a
// wider main lobe) and its cutoff as a share of half the sample rate.
struct SincDesign {
    uint32_t taps;
    double kaiserBeta;
    double cutoff;
};
// Eight taps keep the images of a tone resampled near the output rate some 90 dB down, at a
// loss of 1 dB at 0.29 of the rate. The wide sinc, read when a voice plays above the output
// rate, keeps what would fold back 48 dB down from 0.54 of the output rate and 95 dB from
// 0.6, at a loss of 1 dB at 0.33 of it.
constexpr SincDesign Narrow{SincTaps, 8.0, 0.85};
constexpr SincDesign Wide{WideSincTaps, 9.0, 0.80};

// sin(pi x), after folding x into [-1/2, 1/2].
constexpr double sinPi(double x) {
    double r = x - 2.0 * static_cast<double>(static_cast<int64_t>(x / 2.0));
    if (r > 1)
        r -= 2;
    if (r < -1)
        r += 2;
    if (r > 0.5)
        r = 1 - r;
    else if (r < -0.5)
        r = -1 - r;
    const double a = Pi * r;
    double term = a, sum = a;
    for (int k = 1; k < 11; ++k) {
        term *= -a * a / ((2.0 * k) * (2.0 * k + 1));
        sum += term;
    }
    return sum;
}

// The Bessel function I0 of z, from z squared.
constexpr double besselI0(double zSquared) {
    double term = 1, sum = 1;
    for (int k = 1; k < 32; ++k) {
        term *= zSquared / (4.0 * k * k);
        sum += term;
    }
    return sum;
}

constexpr double kernelAt(const SincDesign& d, double x) {
    const double half = d.taps / 2.0;
    if (x <= -half || x >= half)
        return 0;
    const double r = x / half;
    const double beta2 = d.kaiserBeta * d.kaiserBeta;
    const double window = besselI0(beta2 * (1 - r * r)) / besselI0(beta2);
    const double sinc = x == 0 ? 1 : sinPi(d.cutoff * x) / (Pi * d.cutoff * x);
    return d.cutoff * sinc * window;
}

constexpr SincKernel makeKernel() {
    SincKernel k{};
    // A row's taps lie a frame apart on the kernel; rows of exact sum keep a constant constant.
    for (uint32_t p = 0; p <= SincPhases; ++p) {
        double weights[SincTaps] = {}, sum = 0;
        for (uint32_t t = 0; t < SincTaps; ++t) {
            const double x = double(t) - (SincTaps / 2 - 1) - double(p) / SincPhases;
            weights[t] = kernelAt(Narrow, x);
            sum += weights[t];
        }
        for (uint32_t t = 0; t < SincTaps; ++t)
            k.rows[p][t] = static_cast<float>(weights[t] / sum);
    }
    for (uint32_t i = 0; i <= WideSincTaps * WideSincPoints; ++i)
        k.wide[i] =
            static_cast<float>(kernelAt(Wide, double(i) / WideSincPoints - WideSincTaps / 2.0));
    return k;
}

} // namespace

constinit const SincKernel sincKernel = makeKernel();

} // namespace tolva
