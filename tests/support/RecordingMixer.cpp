#include "support/RecordingMixer.h"

#include <algorithm>

namespace tolva::test {

bool RecordingMixer::setVoiceCount(uint32_t n) {
    if (n > 64)
        return false;
    voiceCount_ = n;
    return true;
}

bool RecordingMixer::addTickListener(TickListener* listener, uint32_t interval) {
    for (Slot& s : slots)
        if (s.listener == listener) {
            s.interval = s.countdown = interval;
            return true;
        }
    for (Slot& s : slots)
        if (!s.listener) {
            s = {listener, interval, interval};
            return true;
        }
    return false;
}

void RecordingMixer::removeTickListener(TickListener* listener) {
    for (Slot& s : slots)
        if (s.listener == listener)
            s = {};
}

uint32_t RecordingMixer::render(uint32_t frames, void*, const RenderFormat* format) {
    if (format)
        lastGain = format->gain;
    bool ended = owner() && owner()->isEnded();
    uint32_t remaining = frames;
    while (remaining > 0 && !ended) {
        uint32_t n = remaining;
        for (const Slot& s : slots)
            if (s.listener)
                n = std::min(n, s.countdown);
        for (Slot& s : slots)
            if (s.listener)
                s.countdown -= n;
        framesRendered += n;
        for (uint32_t i = 0; i < slots.size(); ++i) {
            Slot& s = slots[i];
            if (!s.listener || s.countdown != 0)
                continue;
            if (!s.listener->onTick(i, framesRendered)) {
                ended = true;
                break;
            }
            s.countdown = s.interval;
        }
        remaining -= n;
    }
    return frames - remaining;
}

void RecordingMixer::startVoice(uint32_t voice, const void* request) {
    RecordedVoice& v = voices[voice];
    v.active = false;
    ++v.starts;
    VoiceStart start;
    if (!owner() || !owner()->fillVoiceStart(voice, request, start))
        return;
    v = {true,    start.data,   start.startOffset, start.end,
         v.step,  start.volume, start.panning,     static_cast<uint8_t>(start.flags | 0x01),
         v.starts};
}

} // namespace tolva::test
