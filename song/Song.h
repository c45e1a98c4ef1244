#pragma once
#include "platform/HeapArray.h"
#include <array>
#include <bitset>
#include <cstdint>

namespace tolva {

enum : int32_t {
    OrderSkip = -1, // passed over without playing
    OrderEnd = -3,  // end of song; any other negative entry means the same
};

// What a vibrato plays on its row's first tick.
enum : uint8_t {
    VibratoKeepsOffset, // the offset of the tick before
    VibratoPlain,       // the plain period (ProTracker)
    VibratoAtPosition,  // the offset at the waveform position, not moving on (Scream Tracker)
};

constexpr uint32_t NoRestartPosition = 0xFFFFFFFFu;
constexpr std::size_t MaxOrders = 256;

// A set of order-list indices.
using OrderSet = std::bitset<MaxOrders>;

// The song part of every format player: what a loader fills and the sequencer reads.
struct Song {
    char title[130] = {};
    uint32_t channelCount = 0;
    uint32_t sampleCount = 0;
    uint16_t orderCount = 0; // up to MaxOrders
    std::array<int32_t, MaxOrders + 1> orders{};
    // Pattern bytes in the format's own encoding; an empty entry means "no pattern".
    std::array<HeapArray<uint8_t>, 256> patterns;
    // Patterns the file holds, numbered from 0, empty ones included: an order naming one of
    // them may start a tune, one naming another is passed over.
    uint32_t heldPatterns = 0;
    uint32_t restartPosition = NoRestartPosition;
    uint32_t initialTempo = 125;
    uint8_t initialSpeed = 6;
    uint8_t initialGlobalVolume = 64;
    uint8_t volumeScale = 64;
    uint32_t rowsPerPattern = 64;
    int32_t maxPeriod = 1712;
    int32_t minPeriod = 7;
    int32_t slideUpUnit = -1;
    int32_t slideDownUnit = 1;
    bool bcdPatternBreak = true;
    uint8_t tremoloShift = 0;
    // ProTracker and Scream Tracker start a vibrato falling in pitch, from halfway through the
    // waveform tables, and step toward zero.
    uint8_t vibratoPhase = 0; // table positions the vibrato runs ahead
    uint8_t vibratoOnRow = VibratoKeepsOffset;
    bool signedSamples = true;
    uint8_t pingPongTurns = 0; // TurnRepeatsEnd, TurnRepeatsStart
    bool infoOnly = false;

    Song() { orders.fill(OrderEnd); }
};

} // namespace tolva
