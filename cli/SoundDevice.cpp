#include "SoundDevice.h"

#include "SharedLibrary.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace tolva::cli {

namespace {

constexpr Uint16 DeviceFrames = 1024;

// The few SDL calls the device makes, from the library loaded the first time a song is played.
struct Sdl {
    SharedLibrary library{"libSDL2-2.0.so.0"};
    decltype(&SDL_InitSubSystem) initSubSystem;
    decltype(&SDL_QuitSubSystem) quitSubSystem;
    decltype(&SDL_GetError) getError;
    decltype(&SDL_OpenAudioDevice) openAudioDevice;
    decltype(&SDL_CloseAudioDevice) closeAudioDevice;
    decltype(&SDL_PauseAudioDevice) pauseAudioDevice;
    decltype(&SDL_GetCurrentAudioDriver) getCurrentAudioDriver;

    Sdl() {
        library.bind(initSubSystem, "SDL_InitSubSystem");
        library.bind(quitSubSystem, "SDL_QuitSubSystem");
        library.bind(getError, "SDL_GetError");
        library.bind(openAudioDevice, "SDL_OpenAudioDevice");
        library.bind(closeAudioDevice, "SDL_CloseAudioDevice");
        library.bind(pauseAudioDevice, "SDL_PauseAudioDevice");
        library.bind(getCurrentAudioDriver, "SDL_GetCurrentAudioDriver");
    }
};

const Sdl& sdl() {
    static const Sdl calls;
    return calls;
}

} // namespace

SoundDevice::SoundDevice(SampleRing& ring, uint32_t rate, const RenderFormat& format)
    : ring_(ring), rate_(rate), bits_(format.bits), floatSamples_(format.floatSamples != 0) {}

SoundDevice::~SoundDevice() {
    closing_.store(true, std::memory_order_release);
    if (device_)
        sdl().closeAudioDevice(device_);
    if (initialised_)
        sdl().quitSubSystem(SDL_INIT_AUDIO);
}

const std::string& SoundDevice::missingLibrary() {
    return sdl().library.problem();
}

bool SoundDevice::initialise(std::string& reason) {
    if (sdl().initSubSystem(SDL_INIT_AUDIO) != 0) {
        reason = sdl().getError();
        return false;
    }
    initialised_ = true;
    return true;
}

bool SoundDevice::start(std::string& reason) {
    SDL_AudioSpec wanted{};
    wanted.freq = static_cast<int>(rate_);
    wanted.format = floatSamples_ ? AUDIO_F32SYS
                    : bits_ == 8  ? AUDIO_U8
                    : bits_ == 16 ? AUDIO_S16SYS
                                  : AUDIO_S32SYS;
    wanted.channels = 2;
    wanted.samples = DeviceFrames;
    wanted.callback = &SoundDevice::callback;
    wanted.userdata = this;
    // SDL converts when the card wants another rate or format.
    device_ = sdl().openAudioDevice(nullptr, 0, &wanted, &obtained_, 0);
    if (!device_) {
        reason = sdl().getError();
        return false;
    }
    const char* driver = sdl().getCurrentAudioDriver();
    waitForSound_ = driver && std::strcmp(driver, "disk") == 0;
    sdl().pauseAudioDevice(device_, 0);
    return true;
}

void SoundDevice::setPaused(bool paused) {
    if (device_)
        sdl().pauseAudioDevice(device_, paused ? 1 : 0);
}

uint32_t SoundDevice::latencyMs() const {
    return obtained_.freq > 0 ? obtained_.samples * 1000u / static_cast<uint32_t>(obtained_.freq)
                              : 0;
}

void SoundDevice::callback(void* self, Uint8* stream, int size) {
    static_cast<SoundDevice*>(self)->fill(stream, size);
}

void SoundDevice::fill(Uint8* stream, int size) {
    std::size_t done = 0;
    const std::size_t wanted = static_cast<std::size_t>(size);
    while (true) {
        // Read after the look at drained(): a drained ring has handed over all it will.
        const bool drained = ring_.drained();
        done += ring_.read(stream + done, wanted - done);
        if (done == wanted || !waitForSound_ || drained || closing_.load(std::memory_order_acquire))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::memset(stream + done, bits_ == 8 ? 0x80 : 0, wanted - done);
}

} // namespace tolva::cli
