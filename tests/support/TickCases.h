#pragma once
// Tables of built songs whose state after chosen ticks, or whose row order, is compared with
// values worked out by hand.
#include "support/PlayerHarness.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <vector>

namespace tolva::test {

// What a case reads after a tick; channel and voice values are those of the case's channel.
enum class Read {
    Volume,
    Period,     // sounding, modulations included
    BasePeriod, // without modulations
    SlideOffset,
    Panning,
    VibratoOffset,
    MixerVolume,
    MixerPanning,
    Step,
    Starts, // voice starts so far
    Active,
    StartOffset,
    VoiceEnd,
    VoiceFlags,
    GlobalVolume,
    Speed,
    Tempo,
    TickInterval,
    Position,    // order x 256 + row
    AutoVibrato, // XM only
};

struct ReadCase {
    const char* what;
    std::vector<uint8_t> song;
    Read read;
    std::vector<int> expected;
    uint32_t skip = 0;  // ticks played before the first reading
    uint32_t every = 1; // ticks from one reading to the next
    uint32_t channel = 0;
};

struct TraceCase {
    const char* what;
    std::vector<uint8_t> song;
    std::vector<RowStep> expected; // every row played until the song ends
};

// A MOD of one pattern stepped by `script`: 't' plays a tick, 'r' the rest of the row, a digit
// reads that channel; the readings must equal `expected`.
struct TickCase {
    const char* what;
    std::vector<PlacedCell> cells;
    const char* script;
    Read read;
    std::vector<int> expected;
    std::vector<ModSampleDef> samples = {squareSample(64)};
    void (*setup)(Player&) = nullptr;
};

void runTickCases(const std::vector<TickCase>& cases);

using PlayFunction = std::unique_ptr<Player> (*)(const std::vector<uint8_t>&, RecordingMixer&);

void checkTicks(const std::vector<ReadCase>& cases, PlayFunction play);
void checkTraces(const std::vector<TraceCase>& cases, PlayFunction play);

// Each value `times` times over.
std::vector<int> repeated(std::initializer_list<int> values, uint32_t times);

// Rows first..last of an order, for each {order, first, last} in turn.
std::vector<RowStep> spans(std::initializer_list<std::array<uint32_t, 3>> list);

} // namespace tolva::test
