#pragma once
// An IT song built in the test, loaded and ready to play through the real mixer at 44100 Hz.
#include "formats/it/ItPlayer.h"
#include "support/ItFileBuilder.h"
#include "support/ItSongParts.h"
#include "support/MixerHarness.h"

#include <memory>

namespace tolva::test {

struct ItSong {
    MixerPtr mixer;
    std::unique_ptr<Player> player;

    ItPlayer& it() { return static_cast<ItPlayer&>(*player); }
    const Voice& voice(uint32_t v) const { return mixer->voice(v); }
    bool sounds(uint32_t v) const { return mixer->voice(v).flags & VoiceActive; }
    // The record of pattern channel k.
    ItChannel& channel(uint32_t k) { return it().patternChannel(k); }
};

// Null player when the loader refuses the bytes.
std::unique_ptr<ItSong> playIt(const ItFileBuilder& builder, uint32_t rate = 44100);

// Header flags of instrument-mode songs with linear slides, and of sample-mode ones.
constexpr uint16_t ItInstrumentSong = 0x01 | 0x04 | 0x08;
constexpr uint16_t ItSampleSong = 0x01 | 0x08;

// Speed 3, one pattern, and sample 1 a looped ramp of 1000 frames at 8363 Hz; instrument mode
// with these instruments, or sample mode without any.
ItFileBuilder itSong(const ItPatternWriter& rows, const std::vector<ItTestInstrument>& instruments);

} // namespace tolva::test
