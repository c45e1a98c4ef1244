#pragma once
#include <cstdint>

namespace tolva {

// 10^x from a table of 512 steps per decade.
float itTenPower(float x);

// The mixer's per-voice filter callback; `context` is the ItPlayer.
void filterItVoice(void* context, uint32_t voice, float* buffer, uint32_t frames, bool isStereo);

} // namespace tolva
