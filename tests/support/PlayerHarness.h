#pragma once
// Loading a built module into a player ready to play, and stepping its sequencer by hand.
#include "engine/Player.h"
#include "support/ModBuilder.h"
#include "support/RecordingMixer.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace tolva::test {

struct RowStep {
    uint32_t order;
    uint32_t row;
    bool operator==(const RowStep&) const = default;
};

// A MOD loaded from bytes with its samples, rewound and configured for 44100 Hz.
std::unique_ptr<Player> playMod(const std::vector<uint8_t>& bytes, RecordingMixer& mixer);

// Calls onTick until the song ends or `maxRows` rows have started; one entry per row played,
// a repeated row (pattern delay) included.
std::vector<RowStep> traceRows(Player& player, uint32_t maxRows);

// The row numbers of a trace.
std::vector<uint32_t> rowsOf(const std::vector<RowStep>& steps);

// Appends rows first..last to a list of row numbers.
void append(std::vector<uint32_t>& rows, uint32_t first, uint32_t last);

// Runs the ticks of one whole row (the first tick starts it).
void playRow(Player& player);

// Runs one tick.
void playTick(Player& player);

// The period the channel sounds at, modulations included.
int32_t soundingPeriod(const Channel& channel);

// Runs the ticks of one whole row and gives channel 0's sounding period after each.
std::vector<int32_t> rowPeriods(Player& player);

// A cell of pattern 0.
struct PlacedCell {
    uint32_t row, channel;
    ModCell cell;
};

// A value read from a channel of the player or from its voice in the mixer.
using Probe = int32_t (*)(Player&, RecordingMixer&, uint32_t channel);

namespace probe {
using P = Player&;
using M = RecordingMixer&;
inline const Probe sounding = [](P p, M, uint32_t c) { return soundingPeriod(p.channel(c)); };
inline const Probe period = [](P p, M, uint32_t c) { return p.channel(c).period; };
inline const Probe slide = [](P p, M, uint32_t c) { return p.channel(c).slideOffset; };
inline const Probe vibrato = [](P p, M, uint32_t c) { return p.channel(c).vibratoOffset; };
inline const Probe volume = [](P p, M, uint32_t c) { return int32_t(p.channel(c).volume); };
inline const Probe panning = [](P p, M, uint32_t c) { return int32_t(p.channel(c).panning); };
inline const Probe step = [](P, M m, uint32_t c) { return int32_t(m.voices[c].step); };
inline const Probe voiceVolume = [](P, M m, uint32_t c) { return int32_t(m.voices[c].volume); };
inline const Probe voicePanning = [](P, M m, uint32_t c) { return int32_t(m.voices[c].panning); };
inline const Probe starts = [](P, M m, uint32_t c) { return int32_t(m.voices[c].starts); };
inline const Probe active = [](P, M m, uint32_t c) { return int32_t(m.voices[c].active); };
inline const Probe offset = [](P, M m, uint32_t c) { return int32_t(m.voices[c].startOffset); };
inline const Probe end = [](P, M m, uint32_t c) { return int32_t(m.voices[c].end); };
} // namespace probe

// A MOD of one pattern stepped by `script`: 't' plays a tick, 'r' the rest of the row, a digit
// reads `probe` on that channel; the readings must equal `expected`.
struct TickCase {
    const char* what;
    std::vector<PlacedCell> cells;
    const char* script;
    Probe probe;
    std::vector<int32_t> expected;
    std::vector<ModSampleDef> samples = {squareSample(64)};
    void (*setup)(Player&) = nullptr;
};

void runTickCases(const std::vector<TickCase>& cases);

} // namespace tolva::test
