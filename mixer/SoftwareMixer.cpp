#include "mixer/SoftwareMixer.h"

#include "platform/Heap.h"

#include <cstring>
#include <new>

namespace tolva {

SoftwareMixer* createMixer() {
    void* room = platform::allocate(sizeof(SoftwareMixer));
    return room ? new (room) SoftwareMixer() : nullptr;
}

void destroyMixer(Mixer* mixer) {
    if (!mixer)
        return;
    mixer->~Mixer();
    platform::release(mixer);
}

SoftwareMixer::SoftwareMixer() = default;

SoftwareMixer::~SoftwareMixer() {
    releaseScratch();
}

bool SoftwareMixer::reset() {
    for (Voice& v : voices_)
        v = Voice{};
    framesRendered_ = 0;
    return true;
}

void SoftwareMixer::releaseScratch() {
    platform::release(scratch_);
    platform::release(kernelRoom_);
    scratch_ = nullptr;
    accumulator_ = nullptr;
    kernelRoom_ = nullptr;
}

bool SoftwareMixer::setVoiceCount(uint32_t count) {
    if (count > MixerVoiceCount)
        return false;
    voiceCount_ = count;
    return true;
}

void SoftwareMixer::setMixingRate(uint32_t hz) {
    mixingRate_ = hz;
    rampParams_ = &rampParamsFor(hz);
}

bool SoftwareMixer::addTickListener(TickListener* listener, uint32_t interval) {
    // The render loop advances by at most one interval between ticks, so it needs at least a
    // pair of frames to make progress.
    if (interval < 2)
        return false;
    TickSlot* slot = nullptr;
    for (TickSlot& s : tickSlots_) {
        if (s.listener == listener) {
            slot = &s;
            break;
        }
        if (!s.listener && !slot)
            slot = &s;
    }
    if (!slot)
        return false;
    // The first tick is due at once, as a song's first row sounds at its first frame; a listener
    // that changes its interval while being served is rescheduled when its tick returns.
    *slot = TickSlot{listener, interval, 0, 0};
    return true;
}

void SoftwareMixer::removeTickListener(TickListener* listener) {
    for (TickSlot& slot : tickSlots_) {
        if (slot.listener == listener)
            slot = TickSlot{};
    }
}

void SoftwareMixer::setAuxCurve(const float* points, uint32_t count) {
    if (count > AuxCurveCapacity)
        count = AuxCurveCapacity;
    if (count)
        std::memcpy(auxCurve_, points, count * 2 * sizeof(float));
    auxCurveCount_ = count;
}

uint8_t* SoftwareMixer::allocateSampleData(uint32_t size) {
    return static_cast<uint8_t*>(platform::allocate(size));
}

uint8_t* SoftwareMixer::copySampleData(const void* source, uint32_t size) {
    uint8_t* block = allocateSampleData(size);
    if (block && size)
        std::memcpy(block, source, size);
    return block;
}

void SoftwareMixer::freeSampleData(uint8_t* block) {
    platform::release(block);
}

void SoftwareMixer::startVoice(uint32_t voice, const void* request) {
    stopVoice(voice);
    VoiceStart start;
    if (!owner_ || !owner_->fillVoiceStart(voice, request, start))
        return;
    if (start.flags & Voice16Bit)
        start.end &= ~1u;
    Voice& v = voices_[voice];
    v.fraction = 0;
    v.looped = false;
    v.data = start.data;
    v.position = start.data + start.startOffset;
    v.end = start.data + start.end;
    v.loopStart = start.data + start.loopStart;
    v.flags = start.flags | VoiceActive;
    v.panning = v.targetPanning = start.panning;
    // A note starts at its full volume, as in the trackers, so that a drum keeps its attack;
    // only the tail of a stopped note and later changes ramp.
    v.volume = v.targetVolume = start.volume;
    v.rampCountdown = rampParams_->rampInterval;
    v.signFlip = start.sign == 0xFF ? signedByDefault_ : start.sign;
}

void SoftwareMixer::getVoiceRegion(VoiceRegion& out, uint32_t voice) {
    const Voice& v = voices_[voice];
    out.data = v.data;
    out.position = static_cast<uint32_t>(v.position - v.data);
    out.end = static_cast<uint32_t>(v.end - v.data);
    out.loopStart = static_cast<uint32_t>(v.loopStart - v.data);
}

void SoftwareMixer::setVoiceRegion(uint32_t voice, const VoiceRegion& region) {
    Voice& v = voices_[voice];
    v.data = region.data;
    v.position = region.data + region.position;
    v.end = region.data + region.end;
    v.loopStart = region.data + region.loopStart;
}

void SoftwareMixer::stopVoice(uint32_t voice) {
    Voice& v = voices_[voice];
    if (!(v.flags & VoiceActive))
        return;
    v.flags &= static_cast<uint8_t>(~VoiceActive);
    if (rampingEnabled_) {
        v.holdLeft = v.lastLeft;
        v.holdRight = v.lastRight;
        v.holdLevel = 8;
    }
}

void SoftwareMixer::setVoiceVolume(uint32_t voice, uint8_t volume) {
    Voice& v = voices_[voice];
    v.targetVolume = volume;
    if (!rampingEnabled_)
        v.volume = volume;
    v.rampCountdown = 0;
}

void SoftwareMixer::setVoicePanning(uint32_t voice, uint8_t panning) {
    Voice& v = voices_[voice];
    v.targetPanning = panning;
    if (!rampingEnabled_)
        v.panning = panning;
    v.rampCountdown = 0;
}

void SoftwareMixer::setPosition(uint32_t ms) {
    framesRendered_ = static_cast<uint32_t>(uint64_t(mixingRate_) * ms / 1000);
}

void SoftwareMixer::setVoiceFilter(VoiceFilterCallback callback, void* context) {
    filterCallback_ = callback;
    filterContext_ = context;
}

VoiceActivity SoftwareMixer::voiceActivity(uint32_t voice) {
    return {voices_[voice].activityFlags, voices_[voice].peakVolume};
}

void SoftwareMixer::clearVoiceActivity(uint32_t voice) {
    voices_[voice].activityFlags = 0;
    voices_[voice].peakVolume = 0;
}

} // namespace tolva
