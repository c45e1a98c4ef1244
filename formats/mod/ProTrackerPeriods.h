#pragma once
#include <cstdint>

namespace tolva {

constexpr uint32_t ProTrackerFirstNote = 13; // C-1, period 856 at finetune 0
constexpr uint32_t ProTrackerNoteCount = 36; // three octaves, C-1 .. B-3

// ProTracker's own period tables, one per finetune nibble (0..7, then -8..-1). Its players look
// tuned notes up here instead of scaling the untuned period, so these are the periods that its
// songs were written against.
extern const uint16_t proTrackerPeriods[16][ProTrackerNoteCount];

} // namespace tolva
