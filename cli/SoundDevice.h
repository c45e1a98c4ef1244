#pragma once
#include "SampleRing.h"
#include "mixer/Voice.h"

#include <SDL.h>
#include <atomic>
#include <cstdint>
#include <string>

namespace tolva::cli {

// The sound card, through SDL (loaded on first use): plays what the ring holds, in the settings'
// rate and sample format, and silence when the ring runs dry.
class SoundDevice {
public:
    SoundDevice(SampleRing& ring, uint32_t rate, const RenderFormat& format);
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // Why SDL cannot be used at all ("libSDL2-2.0.so.0 is not installed"), or "".
    static const std::string& missingLibrary();
    // False, with SDL's reason, when there is no sound system to open a device in.
    bool initialise(std::string& reason);
    // Opens the device and starts playing; false, with SDL's reason, when it cannot. Fill
    // the ring first: some drivers play silence from the moment the device opens.
    bool start(std::string& reason);
    void setPaused(bool paused);
    // How long the device holds sound after taking it from the ring.
    uint32_t latencyMs() const;

private:
    static void callback(void* self, Uint8* stream, int size);
    void fill(Uint8* stream, int size);

    SampleRing& ring_;
    uint32_t rate_;
    uint32_t bits_;
    bool floatSamples_;
    bool initialised_ = false;
    SDL_AudioDeviceID device_ = 0;
    SDL_AudioSpec obtained_{};
    // A driver that writes a file instead of keeping time waits for the renderer rather than
    // filling the file with gaps.
    bool waitForSound_ = false;
    std::atomic<bool> closing_{false};
};

} // namespace tolva::cli
