#pragma once
#include <cstdint>

namespace tolva {

// What a vibrato plays on its row's first tick.
enum : uint8_t {
    VibratoKeepsOffset, // the offset of the tick before
    VibratoPlain,       // the plain period (ProTracker)
    VibratoAtPosition,  // the offset at the waveform position, not moving on (Scream Tracker)
};

// Where a format departs from the rules of the shared player and effects, which are
// ProTracker's where nothing says otherwise. Each format's player fills its own record in its
// constructor, so that what sets a format apart is read in one place.
struct FormatQuirks {
    // Period units of one slide step up and down.
    int32_t slideUpUnit = -1;
    int32_t slideDownUnit = 1;
    // The row of a pattern break is written as two decimal digits.
    bool bcdPatternBreak = true;
    // Bits the tremolo's swing is narrowed by.
    uint8_t tremoloShift = 0;
    // Waveform table positions the vibrato runs ahead: ProTracker and Scream Tracker start it
    // falling in pitch, from halfway through the tables.
    uint8_t vibratoPhase = 0;
    // The vibrato's swing is cut toward zero rather than rounded down.
    bool vibratoTowardZero = false;
    uint8_t vibratoOnRow = VibratoKeepsOffset;
    // How every ping-pong loop turns (the mixer's TurnRepeatsEnd, TurnRepeatsStart).
    uint8_t pingPongTurns = 0;
    // Every new pattern starts the channels' pattern loops at its top row.
    bool newPatternResetsLoops = true;
    // A finished pattern loop keeps its start row, and the row a loop last jumped to is where
    // the next pattern starts unless a break or jump says otherwise.
    bool loopRowsStay = false;
    // A note cut stops the voice rather than silencing the channel's volume.
    bool noteCutStopsVoice = false;
    // A start offset past a loop's end plays the loop, as far in as it has gone round it.
    bool offsetPastLoopEndLoops = false;
    // Position jumps and pattern breaks are taken while a loop counts, on any row where no loop
    // jumps back; otherwise a counting loop holds them back.
    bool jumpsInsideLoops = true;
    // A position is its row together with the counts of the running pattern loops: the song
    // ends on reaching one it played, by a jump or by going on to the next row.
    bool loopCountsInPosition = false;
    // The channels of a row act one after another, so a later channel's break row or pattern
    // delay replaces an earlier one's.
    bool laterChannelDecides = true;
    // A jump or break on a row with a pattern delay leads one row further.
    bool delayedBreakSkipsRow = false;
    // Where earlier channels decide, the first channel's pattern delay counts, a delay of 0 too
    // (otherwise the first that is not 0).
    bool firstDelayCounts = false;
    // A finetune command tunes the channel until an instrument number brings the sample's own
    // back; otherwise it retunes the sample itself.
    bool finetuneOnChannel = true;
    // E9x retriggers on the row's first tick too when the cell has no note (ProTracker counts
    // that tick as a multiple of x).
    bool retriggerOnFirstTick = true;
    // The song options made for ProTracker modules apply: the panning switch and the old
    // mode's speed-only speed command.
    bool proTrackerOptions = true;
};

} // namespace tolva
