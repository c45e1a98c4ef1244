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

constexpr uint32_t NoRestartPosition = 0xFFFFFFFFu;
constexpr std::size_t MaxOrders = 256;

// A set of order-list indices.
using OrderSet = std::bitset<MaxOrders>;

struct PanningPair {
    uint8_t panning = 0;
    uint8_t surround = 0;
};
using DefaultPannings = std::array<PanningPair, 64>;

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
    // Soundtracker sets the Amiga's timer instead of a tempo: a tick every so many of its counts
    // (709379 a second) until a tempo command takes over; 0 when the tempo sets the ticks.
    uint32_t timerCounts = 0;
    uint8_t initialSpeed = 6;
    uint8_t initialGlobalVolume = 64;
    uint8_t volumeScale = 64;
    uint32_t rowsPerPattern = 64;
    int32_t maxPeriod = 1712;
    int32_t minPeriod = 7;
    bool signedSamples = true;
    bool infoOnly = false;
    // Each channel's panning when the song starts; the Amiga's left, right, right, left unless
    // the file says otherwise.
    DefaultPannings pannings;
    // The mixing volume the file asks for, 1 in the formats that have none.
    float mixVolume = 1.0f;

    Song() {
        orders.fill(OrderEnd);
        static constexpr uint8_t amiga[4] = {0x20, 0xE0, 0xE0, 0x20};
        for (std::size_t i = 0; i < pannings.size(); ++i)
            pannings[i] = {amiga[i % 4], 0};
    }
};

} // namespace tolva
