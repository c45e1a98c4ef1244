#include "mixer/InterpolationKernels.h"
#include "mixer/KernelRoom.h"
#include "mixer/MixRoutines.h"
#include "mixer/PlayedFrames.h"
#include "mixer/ResampleRun.h"
#include "mixer/SincKernel.h"

#include <algorithm>
#include <emmintrin.h>

namespace tolva {

namespace {

using kernels::FrameShift;
// Beyond this many frames a step the sinc stops widening: what folds back then lies far out of
// hearing's way.
constexpr uint32_t MaxStretch = 16;
// Steps that differ by less share widened sincs, in 1/65536 frame: a vibrato does not make
// new ones at every tick.
constexpr uint32_t StretchGrain = 2048;

// Works out the rows of the wide sinc stretched `key` x StretchGrain / 65536 times, so that its
// cutoff falls with the output's half rate. They hold as many phases as keep the points they
// are read at as close together on the kernel as its shape's own, so their number stays about
// the same at any stretch. Each row sums to 1.
void buildStretchedRows(uint32_t key, StretchedRows& r) {
    const float stretch =
        std::min(static_cast<float>(key * StretchGrain) / 65536, float{MaxStretch});
    r.key = key;
    r.reach = static_cast<uint32_t>(stretch * (WideSincTaps / 2)) + 2;
    r.width = (2 * r.reach + 3) & ~3u;
    // About 2048 + 512 / stretch weights: within the room at any stretch.
    r.phases = std::min(static_cast<uint32_t>(WideSincPoints / stretch) + 1,
                        StretchedRows::Capacity / r.width - 1);
    constexpr float End = WideSincTaps * WideSincPoints;
    const float perFrame = WideSincPoints / stretch;
    for (uint32_t p = 0; p <= r.phases; ++p) {
        float* row = r.weights + p * r.width;
        const float u = static_cast<float>(p) / static_cast<float>(r.phases);
        float sum = 0;
        for (uint32_t t = 0; t < r.width; ++t) {
            const float at = (static_cast<float>(t + 1) - r.reach - u) * perFrame + End / 2;
            row[t] = 0;
            if (at > 0 && at < End) {
                const auto i = static_cast<uint32_t>(at);
                row[t] =
                    sincKernel.wide[i] + (at - i) * (sincKernel.wide[i + 1] - sincKernel.wide[i]);
            }
            sum += row[t];
        }
        for (uint32_t t = 0; t < r.width; ++t)
            row[t] /= sum;
    }
}

// The widened sinc for `step`, worked out unless one of the room's sets holds it.
const StretchedRows& stretchedRows(uint32_t step, KernelRoom& room) {
    const uint32_t key = (step + StretchGrain - 1) / StretchGrain;
    for (const StretchedRows& r : room.rows)
        if (r.key == key)
            return r;
    StretchedRows& r = room.rows[room.nextRows];
    room.nextRows = (room.nextRows + 1) % KernelRoom::RowSets;
    buildStretchedRows(key, r);
    return r;
}

// One pair with the boundary rules of the linear routines, moving the cursor only; false when
// the voice stopped before the pair was whole.
bool boundaryPair(VoiceCursor& c) {
    for (int k = 0; k < 2; ++k) {
        uint32_t partner;
        if (!c.partnerFrame(partner)) {
            c.stop();
            return false;
        }
        c.advance();
        if (k == 0 && !c.active())
            return false;
    }
    return true;
}

// Moves the cursor pair by pair as the linear routines do, and for every frame they would
// produce evaluates the kernel on the line at the same place. Answers the pairs written.
template <bool Stereo, class Kernel>
uint32_t kernelWalk(VoiceCursor& c, uint32_t pairs, const float* line, uint64_t position,
                    const Kernel& kernel, float* out) {
    uint32_t done = 0;
    while (done < pairs && c.active()) {
        uint32_t n = resample::plainPairs(c, pairs - done);
        if (n > 0) {
            const uint64_t moved = c.fraction + uint64_t{2} * n * c.step;
            const auto frames = static_cast<uint32_t>(moved >> FrameShift);
            c.index = c.backwards() ? c.index - frames : c.index + frames;
            c.fraction = static_cast<uint32_t>(moved & 0xFFFF);
        } else if (boundaryPair(c)) {
            n = 1;
        } else {
            break;
        }
        uint32_t i = 0;
        if (!Stereo)
            for (; i + 4 <= 2 * n; i += 4, position += 4 * c.step, out += 4)
                kernel.four(line, position, c.step, out);
        for (; i < 2 * n; ++i, position += c.step, out += Stereo ? 2 : 1)
            kernel.one(line, position, out);
        done += n;
    }
    return done;
}

// Lays out the line for up to `frames` frames (as many pairs as it holds) and walks it.
template <bool Stereo, class Kernel>
uint32_t runKernel(VoiceCursor& c, float* out, uint32_t frames, float* line, const Kernel& kernel) {
    const uint32_t before = kernel.before(), after = kernel.after();
    const uint64_t room =
        (uint64_t{PlayedFramesCapacity - before - after - 1} << FrameShift) + 0xFFFF - c.fraction;
    const uint64_t fit = c.step ? room / c.step + 1 : frames;
    const auto pairs = static_cast<uint32_t>(std::min<uint64_t>(frames, fit) / 2);
    if (pairs == 0)
        return renderFloatRun(c, out, frames, true);
    const uint64_t last = c.fraction + uint64_t{2 * pairs - 1} * c.step;
    unfoldPlayedFrames(c, before, static_cast<uint32_t>(last >> FrameShift) + after + 1, line);
    const uint64_t start = (uint64_t{before} << FrameShift) + c.fraction;
    return 2 * kernelWalk<Stereo>(c, pairs, line, start, kernel, out);
}

template <bool Stereo>
uint32_t runMode(VoiceCursor& c, float* out, uint32_t frames, Interpolation mode,
                 KernelRoom& room) {
    if (mode == Interpolation::Cubic)
        return runKernel<Stereo>(c, out, frames, room.line, kernels::Cubic<Stereo>{});
    if (c.step <= 0x10000) {
        const kernels::SincRows<Stereo, SincTaps> rows{&sincKernel.rows[0][0], SincTaps, SincPhases,
                                                       SincTaps / 2};
        return runKernel<Stereo>(c, out, frames, room.line, rows);
    }
    const StretchedRows& r = stretchedRows(c.step, room);
    const kernels::SincRows<Stereo, 0> rows{r.weights, r.width, r.phases, r.reach};
    return runKernel<Stereo>(c, out, frames, room.line, rows);
}

} // namespace

uint32_t renderKernelRun(VoiceCursor& cursor, float* buffer, uint32_t frames, Interpolation mode,
                         KernelRoom& room) {
    return cursor.stereo() ? runMode<true>(cursor, buffer, frames, mode, room)
                           : runMode<false>(cursor, buffer, frames, mode, room);
}

} // namespace tolva
