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
    Slot& s = slots[0];
    if (s.listener && s.listener != listener)
        return false;
    s = {listener, interval, interval};
    return true;
}

void RecordingMixer::removeTickListener(TickListener* listener) {
    if (slots[0].listener == listener)
        slots[0] = {};
}

uint32_t RecordingMixer::render(uint32_t frames, void*, const RenderFormat* format) {
    if (format)
        lastGain = format->gain;
    Slot& s = slots[0];
    bool ended = owner() && owner()->isEnded();
    uint32_t remaining = frames;
    while (remaining > 0 && !ended) {
        const uint32_t n = s.listener ? std::min(remaining, s.countdown) : remaining;
        framesRendered += n;
        remaining -= n;
        if (s.listener && (s.countdown -= n) == 0) {
            ended = !s.listener->onTick(0, framesRendered);
            s.countdown = s.interval;
        }
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
