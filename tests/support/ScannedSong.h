#pragma once
// A module loaded the way the plug-in loads it for playing: settings applied, length scanned.
#include "engine/SongPipeline.h"

#include <cstdint>
#include <vector>

namespace tolva::test {

using ScannedSong = LoadedSong;

ScannedSong scanSong(const std::vector<uint8_t>& moduleBytes, const Settings& settings,
                     uint32_t maxSeconds = MaxScanSeconds);

// Plays the scanned song from its start (after any leading silence) in blocks of 576 frames of
// 16-bit output until rendering stops or `maxFrames` have been rendered; answers the frames
// rendered and, in `firstSound`, the first frame that was not silent (-1: none).
uint32_t renderToEnd(ScannedSong& song, const Settings& settings, uint32_t maxFrames,
                     int64_t* firstSound = nullptr);

// Milliseconds of `frames` at `rate`, truncated as the length scan does.
constexpr uint32_t framesToMs(uint64_t frames, uint32_t rate) {
    return static_cast<uint32_t>(frames * 1000 / rate);
}

} // namespace tolva::test
