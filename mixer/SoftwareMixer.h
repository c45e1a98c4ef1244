#pragma once
#include "mixer/MixVoices.h"
#include "mixer/Mixer.h"
#include "mixer/RampTable.h"
#include "mixer/Voice.h"

#include <cstdint>

namespace tolva {

// The mixer that makes the sound: 64 voices resampled into a 32-bit stereo accumulator and
// converted to 8, 16 or 32-bit output, with the players' sequencers called once per tick.
class SoftwareMixer final : public Mixer {
public:
    // Frames mixed into the accumulator in one step.
    static constexpr uint32_t MaxChunkFrames = 32768;
    static constexpr uint32_t AuxCurveCapacity = 32;

    SoftwareMixer();
    ~SoftwareMixer() override;
    SoftwareMixer(const SoftwareMixer&) = delete;
    SoftwareMixer& operator=(const SoftwareMixer&) = delete;

    bool reset() override;
    void releaseScratch() override;
    uint32_t voiceCount() override { return voiceCount_; }
    bool setVoiceCount(uint32_t count) override;
    uint32_t mixingRate() override { return mixingRate_; }
    void setMixingRate(uint32_t hz) override;
    void setSignedByDefault(bool isSigned) override { signedByDefault_ = isSigned ? 0x80 : 0; }
    void setPingPongTurns(uint8_t turns) override { pingPongTurns_ = turns; }
    bool addTickListener(TickListener* listener, uint32_t interval) override;
    void removeTickListener(TickListener* listener) override;
    uint32_t render(uint32_t frames, void* out, const RenderFormat* format) override;
    void setAuxFlag(bool flag) override { auxFlag_ = flag; }
    void setAuxCurve(const float* points, uint32_t count) override;
    uint8_t* allocateSampleData(uint32_t size) override;
    uint8_t* copySampleData(const void* source, uint32_t size) override;
    void freeSampleData(uint8_t* block) override;
    void startVoice(uint32_t voice, const void* request) override;
    void getVoiceRegion(VoiceRegion& out, uint32_t voice) override;
    void setVoiceRegion(uint32_t voice, const VoiceRegion& region) override;
    void stopVoice(uint32_t voice) override;
    void setVoiceVolume(uint32_t voice, uint8_t volume) override;
    void setVoicePanning(uint32_t voice, uint8_t panning) override;
    void setVoiceStep(uint32_t voice, uint32_t step) override { voices_[voice].step = step; }
    uint8_t voiceFlags(uint32_t voice) override { return voices_[voice].flags; }
    void setVoiceFlags(uint32_t voice, uint8_t flags) override { voices_[voice].flags = flags; }
    void setLengthLimit(uint32_t ms) override { lengthLimitMs_ = ms; }
    void setPosition(uint32_t ms) override;
    void setVoiceFilter(VoiceFilterCallback callback, void* context) override;
    void setMuted(bool muted) override { muted_ = muted; }
    VoiceActivity voiceActivity(uint32_t voice) override;
    void clearVoiceActivity(uint32_t voice) override;

    void setRampingEnabled(bool enabled) { rampingEnabled_ = enabled; }

    // Read-only views for inspection.
    const Voice& voice(uint32_t index) const { return voices_[index]; }
    uint32_t framesRendered() const { return framesRendered_; }
    const RampParams& rampParams() const { return *rampParams_; }

private:
    struct TickSlot {
        TickListener* listener = nullptr;
        uint32_t interval = 0;  // frames between ticks, as asked
        uint32_t countdown = 0; // frames to the next tick, even
        uint32_t carry = 0;     // the frame owed to the next interval when one was odd
    };

    // Frames the length limit still allows of `frames`.
    uint32_t limitFrames(uint32_t frames) const;
    // Mixes (and converts into `out` when given) `frames` frames between two ticks.
    void renderStretch(uint32_t frames, uint8_t*& out, const RenderFormat& format);
    // Calls the listeners whose tick is due; false when one of them ends the song.
    bool serveTicks();
    // The voices whose channel `format` mutes.
    uint64_t mutedVoices(const RenderFormat& format) const;
    float* floatBuffer();
    // Room for the Cubic and Sinc kernels, made when first needed; null when memory is short.
    KernelRoom* kernelRoom();

    Voice voices_[MixerVoiceCount];
    TickSlot tickSlots_[TickSlotCount];
    const RampParams* rampParams_ = &RampTable[0];
    VoiceFilterCallback filterCallback_ = nullptr;
    void* filterContext_ = nullptr;
    uint32_t voiceCount_ = 0;
    uint32_t mixingRate_ = 0;
    void* scratch_ = nullptr;
    int32_t* accumulator_ = nullptr; // first 16-byte aligned address in scratch_
    KernelRoom* kernelRoom_ = nullptr;
    uint32_t framesRendered_ = 0;
    uint32_t lengthLimitMs_ = 0;
    float auxCurve_[2 * AuxCurveCapacity] = {};
    uint32_t auxCurveCount_ = 0;
    uint8_t signedByDefault_ = 0;
    uint8_t pingPongTurns_ = 0;
    bool rampingEnabled_ = true;
    bool auxFlag_ = false;
    bool muted_ = false;
    // The heap aligns objects to 8 bytes on some systems, so the float buffer is placed at
    // the first 16-byte boundary inside this room.
    float floatRoom_[2 * FloatBufferFrames + 4] = {};
};

// Null when memory is short.
SoftwareMixer* createMixer();
// Destroys a mixer made by createMixer; null is ignored.
void destroyMixer(Mixer* mixer);

} // namespace tolva
