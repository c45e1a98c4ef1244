#pragma once

namespace tolva {

class XmPlayer;
struct XmChannel;

// Runs the channel's volume-column byte at the end of its note handling. Any command other
// than a plain volume moves the tick function it started (or whatever was active) to the
// channel's volumeColumnEffect, which then runs on the later ticks beside the effect column's.
void runVolumeColumn(XmPlayer& player, XmChannel& channel);

} // namespace tolva
