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

// The player rewound and configured for 44100 Hz; null stays null.
std::unique_ptr<Player> ready(std::unique_ptr<Player> player);

// A built MOD loaded with its samples, ready to play after `setup` when there is one.
std::unique_ptr<Player> playMod(const ModBuilder& song, RecordingMixer& mixer,
                                void (*setup)(Player&) = nullptr);

// Calls onTick until the song ends or `maxRows` rows have started; one entry per row played,
// a repeated row (pattern delay) included.
std::vector<RowStep> traceRows(Player& player, uint32_t maxRows);

// Runs the ticks of one whole row (the first tick starts it).
void playRow(Player& player);

inline void playTick(Player& player) {
    player.onTick(0, 0);
}

// The period the channel sounds at, modulations included.
inline int32_t soundingPeriod(const Channel& channel) {
    return channel.period + channel.slideOffset + channel.vibratoOffset + channel.arpeggioOffset;
}

// A cell of pattern 0.
struct PlacedCell {
    uint32_t row, channel;
    ModCell cell;
};

} // namespace tolva::test
