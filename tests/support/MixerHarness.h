#pragma once
#include "mixer/SoftwareMixer.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace tolva::test {

struct MixerDeleter {
    void operator()(SoftwareMixer* mixer) const { destroyMixer(mixer); }
};
using MixerPtr = std::unique_ptr<SoftwareMixer, MixerDeleter>;

// Stands in for a player: every voice start gets `start`, unless starts are refused.
class FakeOwner : public MixerOwner {
public:
    bool ended = false;
    bool acceptStarts = true;
    VoiceStart start;

    bool isEnded() override { return ended; }
    bool fillVoiceStart(uint32_t, const void*, VoiceStart& out) override {
        if (!acceptStarts)
            return false;
        out = start;
        return true;
    }
};

// Records every tick; answers false on tick number `endOnTick` (1-based, 0 = never).
class TickRecorder : public TickListener {
public:
    std::vector<uint32_t> slots;
    std::vector<uint32_t> frames;
    std::size_t endOnTick = 0;

    bool onTick(uint32_t slotIndex, uint32_t framesRendered) override {
        slots.push_back(slotIndex);
        frames.push_back(framesRendered);
        return frames.size() != endOnTick;
    }
};

MixerPtr makeMixer(FakeOwner& owner, uint32_t rate = 44100, uint32_t voices = 1);

// Starts `voice` on `data` with the byte geometry given (the owner answers with it), at one
// sample frame per output frame.
void startSample(SoftwareMixer& mixer, FakeOwner& owner, uint32_t voice,
                 const std::vector<uint8_t>& data, uint32_t end, uint32_t loopStart, uint8_t flags,
                 uint8_t volume = 64, uint8_t panning = 128);

// Renders 16-bit stereo; answers the frames rendered.
uint32_t render16(SoftwareMixer& mixer, uint32_t frames);

// A playing voice over `data` (offsets in bytes), at its target volume and panning.
Voice makeVoice(const std::vector<uint8_t>& data, uint32_t position, uint32_t end,
                uint32_t loopStart, uint8_t flags, uint32_t step, uint8_t volume = 64,
                uint8_t panning = 0);

struct MixOptions {
    uint32_t gain = 256;
    Interpolation interpolation = Interpolation::Linear;
    bool forceMono = false;
    VoiceFilterCallback filter = nullptr;
    void* filterContext = nullptr;
    uint8_t turns = 0; // how ping-pong loops turn
};

// `count` zeroed values from a 16-byte boundary on, as the vector routines want them.
template <typename T> struct Aligned {
    explicit Aligned(std::size_t count)
        : room(count + 16 / sizeof(T)),
          values(reinterpret_cast<T*>((reinterpret_cast<uintptr_t>(room.data()) + 15) &
                                      ~uintptr_t(15))) {}
    std::vector<T> room;
    T* values;
};

// Mixes `frames` frames of the voices into a fresh accumulator; left, right per frame.
std::vector<int32_t> mixFrames(Voice* voices, uint32_t count, uint32_t frames,
                               const MixOptions& options = {});

std::vector<int32_t> leftOf(const std::vector<int32_t>& frames);

std::vector<uint8_t> words16(const std::vector<int>& values);
// 16-bit frames whose value is 100 x the frame index, so that the frame played can be read
// back from the output.
std::vector<uint8_t> indexRamp16(int frames);

} // namespace tolva::test
