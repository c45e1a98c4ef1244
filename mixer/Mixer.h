#pragma once
#include "mixer/Voice.h"

#include <cstdint>

namespace tolva {

constexpr uint32_t MixerVoiceCount = 64;
constexpr uint32_t TickSlotCount = 4;

// Called once per tick while the mixer renders; false ends the song and the render.
class TickListener {
public:
    virtual bool onTick(uint32_t slotIndex, uint32_t framesRendered) = 0;

protected:
    ~TickListener() = default;
};

// What the mixer asks of the player that drives it. `request` is the player's own value
// passed through `startVoice`.
class MixerOwner {
public:
    virtual bool isEnded() = 0;
    virtual bool fillVoiceStart(uint32_t voice, const void* request, VoiceStart& out) = 0;
    // The song's channel a voice plays for, from 0; muting a channel mutes its voices.
    virtual uint32_t voiceChannel(uint32_t voice) { return voice; }

protected:
    ~MixerOwner() = default;
};

// The IT player's resonant filter runs here on the float rendering of one voice.
using VoiceFilterCallback = void (*)(void* context, uint32_t voice, float* buffer, uint32_t frames,
                                     bool isStereo);

// The interface players drive. The base does nothing but remember its owner, so a player can
// run against it without producing sound (tests of the sequencer, information-only loads).
class Mixer {
public:
    virtual ~Mixer() = default;

    virtual void setOwner(MixerOwner* owner) { owner_ = owner; }
    virtual bool reset() { return true; }
    virtual void releaseScratch() {}
    virtual uint32_t voiceCount() { return 0; }
    virtual bool setVoiceCount(uint32_t) { return true; }
    virtual uint32_t mixingRate() { return 0; }
    virtual void setMixingRate(uint32_t) {}
    virtual void setSignedByDefault(bool) {}
    // TurnRepeatsEnd, TurnRepeatsStart: how every ping-pong loop turns.
    virtual void setPingPongTurns(uint8_t) {}
    virtual bool addTickListener(TickListener*, uint32_t) { return true; }
    virtual void removeTickListener(TickListener*) {}
    // Frames rendered; `out` may be null (advance without output), `format` may be null
    // only then.
    virtual uint32_t render(uint32_t, void*, const RenderFormat*) { return 0; }
    virtual void setAuxFlag(bool) {}
    virtual void setAuxCurve(const float*, uint32_t) {}
    // A block for `size` bytes of sample data that the caller fills, and converts in place,
    // before a voice plays it; null when memory is short. Freed with freeSampleData.
    virtual uint8_t* allocateSampleData(uint32_t) { return nullptr; }
    virtual uint8_t* copySampleData(const void*, uint32_t) { return nullptr; }
    virtual void freeSampleData(uint8_t*) {}
    virtual void startVoice(uint32_t, const void*) {}
    virtual void getVoiceRegion(VoiceRegion& out, uint32_t) { out = {}; }
    virtual void setVoiceRegion(uint32_t, const VoiceRegion&) {}
    virtual void stopVoice(uint32_t) {}
    virtual void setVoiceVolume(uint32_t, uint8_t) {}
    virtual void setVoicePanning(uint32_t, uint8_t) {}
    virtual void setVoiceStep(uint32_t, uint32_t) {}
    virtual uint8_t voiceFlags(uint32_t) { return 0; }
    virtual void setVoiceFlags(uint32_t, uint8_t) {}
    virtual void setLengthLimit(uint32_t) {}
    virtual void setPosition(uint32_t) {}
    virtual void setVoiceFilter(VoiceFilterCallback, void*) {}
    virtual void setMuted(bool) {}
    virtual VoiceActivity voiceActivity(uint32_t) { return {}; }
    virtual void clearVoiceActivity(uint32_t) {}

    MixerOwner* owner() const { return owner_; }

protected:
    MixerOwner* owner_ = nullptr;
};

} // namespace tolva
