#pragma once
// A mixer that keeps sample blocks, remembers what the player asked of each voice, and runs
// the tick callbacks of `render` without mixing anything.
#include "support/SampleStoreMixer.h"

#include <array>
#include <cstdint>
#include <vector>

namespace tolva::test {

struct RecordedVoice {
    bool active = false;
    const uint8_t* data = nullptr;
    uint32_t startOffset = 0;
    uint32_t end = 0;
    uint32_t step = 0;
    uint8_t volume = 0;
    uint8_t panning = 0;
    uint8_t flags = 0;
    uint32_t starts = 0; // voice starts asked for, granted or not
};

class RecordingMixer : public SampleStoreMixer {
public:
    uint32_t voiceCount() override { return voiceCount_; }
    bool setVoiceCount(uint32_t n) override;
    uint32_t mixingRate() override { return rate_; }
    void setMixingRate(uint32_t hz) override { rate_ = hz; }
    bool addTickListener(TickListener* listener, uint32_t interval) override;
    void removeTickListener(TickListener* listener) override;
    uint32_t render(uint32_t frames, void* out, const RenderFormat* format) override;
    void startVoice(uint32_t voice, const void* request) override;
    void stopVoice(uint32_t voice) override { voices[voice].active = false; }
    void setVoiceVolume(uint32_t voice, uint8_t v) override { voices[voice].volume = v; }
    void setVoicePanning(uint32_t voice, uint8_t p) override { voices[voice].panning = p; }
    void setVoiceStep(uint32_t voice, uint32_t step) override { voices[voice].step = step; }
    uint8_t voiceFlags(uint32_t voice) override { return voices[voice].flags; }
    void setVoiceFlags(uint32_t voice, uint8_t f) override { voices[voice].flags = f; }
    void setPosition(uint32_t ms) override {
        framesRendered = uint32_t(uint64_t(rate_) * ms / 1000);
    }

    struct Slot {
        TickListener* listener = nullptr;
        uint32_t interval = 0;
        uint32_t countdown = 0;
    };

    std::array<RecordedVoice, 64> voices{};
    std::array<Slot, 1> slots{}; // the player is the only listener
    uint32_t framesRendered = 0;
    uint32_t lastGain = 0; // gain of the last render call that had a format record

private:
    uint32_t voiceCount_ = 0;
    uint32_t rate_ = 0;
};

} // namespace tolva::test
