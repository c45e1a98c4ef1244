#pragma once

namespace tolva::host {

constexpr unsigned PlaybackStackSize = 0x200000;

// Renders the current module block by block into the player's output plug-in until a stop
// is requested or the song has ended and sounded out; `context` is the PlaybackState.
void runPlayback(void* context);

} // namespace tolva::host
