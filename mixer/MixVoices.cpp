#include "mixer/MixVoices.h"

#include "mixer/MixRoutines.h"
#include "mixer/VoiceCursor.h"

#include <cstring>

namespace tolva {

uint8_t rampTowards(uint8_t value, uint8_t target, uint8_t rampStep) {
    if (value >= target) {
        const int next = int(value) - rampStep;
        return next < target || next < 0 ? target : static_cast<uint8_t>(next);
    }
    const int next = int(value) + rampStep;
    return next > target || next > 255 ? target : static_cast<uint8_t>(next);
}

namespace {

class VoiceMixer {
public:
    VoiceMixer(Voice& voice, uint32_t index, int32_t* accumulator, const MixSettings& settings,
               const FloatRoom& room)
        : voice_(voice), index_(index), accumulator_(accumulator), settings_(settings),
          room_(room) {}

    void mix(uint32_t frames);

private:
    bool sounding() const {
        return voice_.volume * settings_.gain != 0 || voice_.targetVolume * settings_.gain != 0;
    }
    bool audible() const { return accumulator_ && sounding(); }
    // Without output nothing is added, but the voice keeps what it would keep with output: its
    // last frame, from which the declick of its next stop starts.
    void keepLastFrame(VoiceCursor& cursor, uint32_t frames, const RunGains& gains,
                       LastFrame& last);
    // Cuts a pass into runs of constant volume and panning; false when a fading voice has
    // finished its tail.
    bool mixPass(uint32_t frames, const float* filtered);
    void mixChunk(uint32_t frames, const float* filtered);
    // The Cubic and Sinc modes read through kernels in floats, as filtered voices do.
    bool throughKernel() const {
        return room_.kernels && (settings_.interpolation == Interpolation::Cubic ||
                                 settings_.interpolation == Interpolation::Sinc);
    }
    bool interpolates() const { return settings_.interpolation != Interpolation::None; }
    int32_t* accumulatorAt() const { return accumulator_ ? accumulator_ + 2 * position_ : nullptr; }

    Voice& voice_;
    uint32_t index_;
    int32_t* accumulator_;
    const MixSettings& settings_;
    const FloatRoom& room_;
    uint32_t position_ = 0; // frames of the block already covered
    bool holdOnly_ = false;
};

void VoiceMixer::mix(uint32_t frames) {
    if (!(voice_.flags & VoiceActive)) {
        if (voice_.holdLevel == 0)
            return;
        holdOnly_ = true;
    }
    while (position_ < frames) {
        const uint32_t left = frames - position_;
        const bool filtered = voice_.flags & VoiceFiltered;
        // Filters run also without output, so that they hold what they would hold with it.
        const bool floats =
            accumulator_ ? (filtered || throughKernel()) && audible() : filtered && sounding();
        if (!holdOnly_ && floats) {
            const uint32_t wanted = left < FloatBufferFrames ? left : FloatBufferFrames;
            VoiceCursor cursor = VoiceCursor::load(voice_, settings_.pingPongTurns);
            uint32_t produced = 0;
            if (cursor.prepareSegment())
                produced = throughKernel()
                               ? renderKernelRun(cursor, room_.run, wanted, settings_.interpolation,
                                                 *room_.kernels)
                               : renderFloatRun(cursor, room_.run, wanted, interpolates());
            cursor.store(voice_);
            const bool ended = !cursor.active();
            if (filtered && settings_.filterCallback)
                settings_.filterCallback(settings_.filterContext, index_, room_.run, produced,
                                         cursor.stereo());
            if (!mixPass(produced, room_.run) || ended)
                return;
        } else {
            mixPass(left, nullptr);
            return;
        }
    }
}

bool VoiceMixer::mixPass(uint32_t frames, const float* filtered) {
    const uint32_t channels = (voice_.flags & VoiceStereo) ? 2 : 1;
    while (frames > 0) {
        uint32_t run;
        if (voice_.volume == voice_.targetVolume && voice_.panning == voice_.targetPanning &&
            voice_.holdLevel == 0) {
            run = frames;
        } else if (voice_.rampCountdown > 0) {
            run = voice_.rampCountdown;
        } else {
            const uint8_t step = settings_.rampStep;
            voice_.volume = rampTowards(voice_.volume, voice_.targetVolume, step);
            voice_.panning = rampTowards(voice_.panning, voice_.targetPanning, step);
            voice_.holdLevel = rampTowards(voice_.holdLevel, 0, step);
            if (holdOnly_ && voice_.holdLevel == 0)
                return false;
            run = settings_.rampInterval;
        }
        if (run > frames) {
            voice_.rampCountdown = static_cast<uint16_t>(run - frames);
            run = frames;
        } else {
            voice_.rampCountdown = 0;
        }
        mixChunk(run, filtered);
        if (filtered)
            filtered += run * channels;
        position_ += run;
        frames -= run;
    }
    return true;
}

void VoiceMixer::mixChunk(uint32_t frames, const float* filtered) {
    RunGains gains = runGains(voice_, settings_.gain, settings_.forceMono);
    int32_t* out = accumulatorAt();
    if (holdOnly_) {
        if (!audible())
            return;
        for (uint32_t i = 0; i < frames; ++i) {
            out[2 * i] = static_cast<int32_t>(uint32_t(out[2 * i]) + uint32_t(gains.holdLeft));
            out[2 * i + 1] =
                static_cast<int32_t>(uint32_t(out[2 * i + 1]) + uint32_t(gains.holdRight));
        }
        return;
    }
    LastFrame last{voice_.lastLeft, voice_.lastRight};
    if (filtered) {
        const bool stereo = voice_.flags & VoiceStereo;
        // Without output only the last pair is added, to a scratch pair: the voice keeps its
        // last frame for the declick of its next stop.
        alignas(16) int32_t scratch[4] = {};
        int32_t* to = out;
        if (!out) {
            const uint32_t tail = frames >= 2 ? 2 : 0;
            filtered += (frames - tail) * (stereo ? 2 : 1);
            frames = tail;
            to = scratch;
        }
        if (throughKernel())
            mixKernelRun(filtered, stereo, to, frames, gains, last);
        else
            mixFloatBack(filtered, stereo, to, frames, gains, last);
    } else {
        if (!(voice_.flags & VoiceActive))
            return;
        VoiceCursor cursor = VoiceCursor::load(voice_, settings_.pingPongTurns);
        if (!cursor.prepareSegment()) {
            voice_.flags = cursor.flags;
            return;
        }
        if (voice_.holdLevel == 0 && voice_.volume * settings_.gain == 0) {
            cursor.advanceSilently(frames);
            last = {0, 0};
        } else if (!out) {
            keepLastFrame(cursor, frames, gains, last);
        } else {
            accumulateRun(cursor, out, frames, gains, interpolates(), last);
        }
        cursor.store(voice_);
    }
    voice_.lastLeft = last.left;
    voice_.lastRight = last.right;
}

void VoiceMixer::keepLastFrame(VoiceCursor& cursor, uint32_t frames, const RunGains& gains,
                               LastFrame& last) {
    const uint32_t tail = frames >= 2 ? 2 : 0;
    cursor.advanceSilently(frames - tail);
    last = {0, 0};
    if (!tail || !cursor.active() || !cursor.prepareSegment())
        return;
    alignas(16) int32_t scratch[4] = {};
    if (throughKernel()) {
        const uint32_t produced =
            renderKernelRun(cursor, room_.run, tail, settings_.interpolation, *room_.kernels);
        mixKernelRun(room_.run, cursor.stereo(), scratch, produced, gains, last);
    } else {
        accumulateRun(cursor, scratch, tail, gains, interpolates(), last);
    }
}

} // namespace

void mixVoices(Voice* voices, uint32_t voiceCount, uint32_t frames, int32_t* accumulator,
               const MixSettings& settings, const FloatRoom& room) {
    if (accumulator)
        std::memset(accumulator, 0, static_cast<size_t>(frames) * 2 * sizeof(int32_t));
    // A lone last frame is left silent: voices only ever move in pairs.
    frames &= ~1u;
    for (uint32_t i = 0; i < voiceCount; ++i) {
        const bool muted = (settings.mutedVoices >> i) & 1;
        VoiceMixer(voices[i], i, muted ? nullptr : accumulator, settings, room).mix(frames);
    }
}

} // namespace tolva
