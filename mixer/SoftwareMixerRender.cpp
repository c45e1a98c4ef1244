#include "mixer/ConvertOutput.h"
#include "mixer/SoftwareMixer.h"
#include "platform/Heap.h"

#include <cstdint>
#include <new>

namespace tolva {

float* SoftwareMixer::floatBuffer() {
    const uintptr_t room = reinterpret_cast<uintptr_t>(floatRoom_);
    return reinterpret_cast<float*>((room + 15) & ~uintptr_t(15));
}

KernelRoom* SoftwareMixer::kernelRoom() {
    // The heap's alignment is enough: the kernels read their room without alignment.
    if (!kernelRoom_) {
        void* room = platform::allocate(sizeof(KernelRoom));
        kernelRoom_ = room ? new (room) KernelRoom : nullptr;
    }
    return kernelRoom_;
}

uint64_t SoftwareMixer::mutedVoices(const RenderFormat& format) const {
    if (!format.mutedChannels || !owner_)
        return 0;
    uint64_t muted = 0;
    for (uint32_t i = 0; i < voiceCount_; ++i)
        if ((format.mutedChannels >> (owner_->voiceChannel(i) & 63)) & 1)
            muted |= uint64_t{1} << i;
    return muted;
}

uint32_t SoftwareMixer::limitFrames(uint32_t frames) const {
    const uint64_t limit = (uint64_t(lengthLimitMs_) * mixingRate_ / 1000) & ~uint64_t(1);
    if (limit == 0 || uint64_t(framesRendered_) + frames <= limit)
        return frames;
    return limit > framesRendered_ ? static_cast<uint32_t>(limit - framesRendered_) : 0;
}

uint32_t SoftwareMixer::render(uint32_t frames, void* out, const RenderFormat* format) {
    if (out && !scratch_) {
        scratch_ = platform::allocate(MaxChunkFrames * 2 * sizeof(int32_t) + 15);
        if (!scratch_)
            return 0;
        accumulator_ = reinterpret_cast<int32_t*>((reinterpret_cast<uintptr_t>(scratch_) + 15) &
                                                  ~uintptr_t(15));
    }
    bool ended = owner_ && owner_->isEnded();
    frames = limitFrames(frames);
    RenderFormat options = format ? *format : RenderFormat{};
    if ((options.bits != 8 && options.bits != 32) || options.floatSamples)
        options.bits = options.floatSamples ? 32 : 16;
    if (options.stereoSeparation > MaxStereoSeparation)
        options.stereoSeparation = MaxStereoSeparation;
    auto* bytes = static_cast<uint8_t*>(out);
    uint32_t remaining = frames;
    while (remaining > 0 && !ended) {
        uint32_t chunk = remaining < MaxChunkFrames ? remaining : MaxChunkFrames;
        while (chunk > 0 && !ended) {
            uint32_t n = chunk;
            for (const TickSlot& slot : tickSlots_) {
                if (slot.listener && slot.countdown < n)
                    n = slot.countdown;
            }
            chunk -= n;
            for (TickSlot& slot : tickSlots_) {
                if (slot.listener)
                    slot.countdown -= n;
            }
            if (n && !muted_)
                renderStretch(n, bytes, options);
            framesRendered_ += n;
            ended = !serveTicks();
            remaining -= n;
        }
    }
    return frames - remaining;
}

void SoftwareMixer::renderStretch(uint32_t frames, uint8_t*& out, const RenderFormat& format) {
    for (uint32_t i = 0; i < voiceCount_; ++i) {
        Voice& v = voices_[i];
        v.activityFlags |= v.flags;
        // A voice ramping in from silence sounds within this stretch although it starts at 0.
        const uint8_t level = v.volume > v.targetVolume ? v.volume : v.targetVolume;
        if ((v.flags & VoiceActive) && level > v.peakVolume)
            v.peakVolume = level;
    }
    const bool kernels =
        format.interpolation == Interpolation::Cubic || format.interpolation == Interpolation::Sinc;
    const MixSettings settings{format.gain,
                               format.interpolation,
                               format.forceMono != 0,
                               rampParams_->rampStep,
                               rampParams_->rampInterval,
                               pingPongTurns_,
                               filterCallback_,
                               filterContext_,
                               out ? mutedVoices(format) : 0};
    int32_t* accumulator = out ? accumulator_ : nullptr;
    mixVoices(voices_, voiceCount_, frames, accumulator, settings,
              {floatBuffer(), kernels ? kernelRoom() : nullptr});
    if (!out)
        return;
    if (format.stereoSeparation != 100)
        separateStereo(accumulator, frames, format.stereoSeparation);
    if (format.floatSamples)
        convertFloatOutput(accumulator, reinterpret_cast<float*>(out), frames, voiceCount_,
                           format.forceMono != 0, format.reverseStereo != 0);
    else
        convertOutput(accumulator, out, frames, voiceCount_, format.signedOutput != 0, format.bits,
                      format.forceMono != 0, format.reverseStereo != 0);
    out += static_cast<size_t>(frames) * 2 * (format.bits / 8);
}

bool SoftwareMixer::serveTicks() {
    for (uint32_t i = 0; i < TickSlotCount; ++i) {
        TickSlot& slot = tickSlots_[i];
        if (!slot.listener || slot.countdown != 0)
            continue;
        if (!slot.listener->onTick(i, framesRendered_))
            return false;
        // Frames go in pairs; an odd interval alternates between the pairs around it, so that
        // ticks average the interval asked for and the song keeps its tempo.
        const uint32_t due = slot.interval + slot.carry;
        slot.countdown = due & ~1u;
        slot.carry = due - slot.countdown;
    }
    return true;
}

} // namespace tolva
