#pragma once
// IT songs built in the test: loaded into fresh records, or played through the real mixer.
#include "formats/it/ItModule.h"
#include "formats/it/ItPlayer.h"
#include "song/Song.h"
#include "support/ItFileBuilder.h"
#include "support/MixerHarness.h"
#include "support/PlayerHarness.h"
#include "support/SampleStoreMixer.h"

#include <functional>
#include <memory>
#include <vector>

namespace tolva::test {

using Ints = std::vector<int>;

struct ItLoaded {
    ItLoadError error = ItLoadError::None;
    Song song;
    std::unique_ptr<ItModule> module = std::make_unique<ItModule>();
    std::unique_ptr<SampleStoreMixer> mixer = std::make_unique<SampleStoreMixer>();

    std::vector<uint8_t> sampleBytes(uint32_t index) const {
        return mixer->bytesOf(module->samples[index].data);
    }
};

std::unique_ptr<ItLoaded> loadItBytes(std::vector<uint8_t> bytes, bool infoOnly = false);

struct ItSong {
    MixerPtr mixer;
    std::unique_ptr<Player> player;

    ItPlayer& it() { return static_cast<ItPlayer&>(*player); }
    const Voice& voice(uint32_t v) const { return mixer->voice(v); }
    bool sounds(uint32_t v) const { return mixer->voice(v).flags & VoiceActive; }
    ItChannel& channel(uint32_t k) { return it().patternChannel(k); }
    void ticks(uint32_t count = 1) {
        while (count--)
            playTick(*player);
    }
    void rows(uint32_t count = 1) {
        while (count--)
            playRow(*player);
    }
    // Plays whole rows, then the first tick of the next.
    void enter(uint32_t count = 1) {
        rows(count);
        ticks();
    }
    // Plays `count` ticks (or whole rows) and gives what `probe` reads after each.
    std::vector<Ints> trace(uint32_t count, bool byRow, const std::function<Ints(ItSong&)>& probe);

    // Probes for trace, on channel 0 and the voice it plays on first.
    static Ints sounding(ItSong& s) { return {s.sounds(0)}; }
    static Ints volume(ItSong& s) { return {s.voice(0).targetVolume}; }
    static Ints chVolume(ItSong& s) { return {s.channel(0).volume}; }
    static Ints step(ItSong& s) { return {static_cast<int>(s.voice(0).step)}; }
    static Ints pan(ItSong& s) { return {s.voice(0).targetPanning}; }
    static Ints pans(ItSong& s) { return {s.voice(0).targetPanning, s.voice(1).targetPanning}; }
    static Ints slide(ItSong& s) { return {s.channel(0).slideOffset}; }
    static Ints vibrato(ItSong& s) { return {s.channel(0).vibratoOffset}; }
    static Ints arpeggio(ItSong& s) { return {s.channel(0).arpeggioOffset}; }
    static Ints fade(ItSong& s) {
        return {s.channel(0).volumeEnvelopeState.value, s.channel(0).fadeVolume,
                s.voice(0).targetVolume, s.sounds(0)};
    }
    static Ints slideVolume(ItSong& s) { return {s.channel(0).slideOffset, s.channel(0).volume}; }
    static Ints panOffset(ItSong& s) { return {s.channel(0).panOffset, s.voice(0).targetPanning}; }
    static Ints panning(ItSong& s) { return {s.channel(0).panning, s.voice(0).targetPanning}; }
    static Ints channelVolume(ItSong& s) {
        return {s.channel(0).channelVolume, s.voice(0).targetVolume};
    }
    static Ints global(ItSong& s) { return {s.player->globalVolume, s.voice(1).targetVolume}; }
    static Ints surround(ItSong& s) {
        return {s.voice(0).targetPanning, (s.voice(0).flags & VoiceSurround) != 0};
    }
};

// Null player when the loader refuses the bytes.
std::unique_ptr<ItSong> playIt(const ItFileBuilder& builder);

// Header flags of sample-mode songs with linear slides.
constexpr uint16_t ItSampleSong = 0x01 | 0x08;

// Speed 3, one pattern of these cells, and samples 1 and 2 looped ramps of 1000 and 500 frames
// at 8363 Hz; instrument mode with these instruments, or sample mode without any.
ItFileBuilder itSong(const std::vector<ItPlacedCell>& cells,
                     const std::vector<ItTestInstrument>& instruments = {}, uint16_t rows = 64);
inline ItFileBuilder itSong(const std::string& cells,
                            const std::vector<ItTestInstrument>& instruments = {},
                            uint16_t rows = 64) {
    return itSong(itRows(cells), instruments, rows);
}

// An itSong whose probe, read after each row (or tick), must give `expected`, reading by reading.
struct ItCase {
    std::string cells; // as itRows reads them; names the case
    Ints (*probe)(ItSong&);
    Ints expected;
    bool byRow = true;
    std::vector<ItTestInstrument> instruments = {};
    uint8_t speed = 3;
    uint16_t flags = 0; // added to the header's
};

void checkItCases(const std::vector<ItCase>& cases);

} // namespace tolva::test
