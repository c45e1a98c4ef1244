#include "engine/PitchTables.h"
#include "engine/Random.h"
#include "formats/it/ItPlayer.h"

#include <algorithm>

namespace tolva {

namespace {

enum EnvelopeKind { VolumeKind, OtherKind };

enum AutoVibratoTables : uint32_t { SineTable = 0, SquareTable = 1, RampDownTable = 2 };

// IT numbers its sample vibrato waveforms sine, ramp down, square, random; its square swings
// to one side only.
int32_t autoVibratoValue(uint8_t waveform, uint32_t position, Random& random) {
    const auto entry = [position](uint32_t table) {
        return autoVibratoWaveforms[table * AutoVibratoLength + position % AutoVibratoLength];
    };
    switch (waveform & 3) {
    case 1:
        return entry(RampDownTable);
    case 2:
        return std::max(entry(SquareTable), 0);
    case 3:
        return ((random.next() * 1023) >> 16) - 511;
    default:
        return entry(SineTable);
    }
}

// One step of an envelope: a node value at each node's tick, straight lines between.
void stepEnvelope(uint32_t& changeFlags, const ItEnvelope& envelope, ItEnvelopeState& s,
                  int32_t scale, uint32_t change, EnvelopeKind kind) {
    if (!(s.flags & ItEnvelopeOn) || (s.flags & (ItEnvelopeFinished | ItEnvelopeSwitchedOff)))
        return;
    if (s.ticksLeft != 0) {
        s.value += s.step;
        --s.ticksLeft;
        changeFlags |= change;
        return;
    }
    const uint32_t count = std::clamp<uint32_t>(envelope.nodeCount, 1, ItEnvelopeNodes);
    const uint32_t n = std::min<uint32_t>(s.node, count - 1);
    s.node = static_cast<uint8_t>(n);
    s.value = envelope.nodes[n].value * scale;
    changeFlags |= change;
    // A loop's end node sounds for its tick; the tick after it is the loop's start node. While
    // a sustain loop holds the note, the other loop waits for the release.
    const bool holding = !(s.flags & ItEnvelopeReleased) && (s.flags & ItEnvelopeSustain);
    const bool sustained = holding && n == envelope.sustainEnd;
    if (sustained || (!holding && (s.flags & ItEnvelopeLoop) && n >= envelope.loopEnd)) {
        s.node = sustained ? envelope.sustainStart : envelope.loopStart;
        return;
    }
    if (n == count - 1) {
        s.flags |= ItEnvelopeFinished;
        if (kind == VolumeKind) {
            if (s.value == 0)
                changeFlags |= ChangeStopVoice;
            else
                s.flags |= ItEnvelopeFading;
        }
        return;
    }
    const int32_t ticks = std::max(envelope.nodes[n + 1].tick - envelope.nodes[n].tick, 1);
    s.step = (envelope.nodes[n + 1].value * scale - s.value) / ticks;
    s.node = static_cast<uint8_t>(n + 1);
    s.ticksLeft = static_cast<uint16_t>(ticks - 1);
}

constexpr int32_t NodeScale = 256;
constexpr int32_t PitchNodeScale = 8192;

} // namespace

void ItPlayer::advanceEnvelopes(ItChannel& r) {
    if (!r.instrument)
        return;
    const ItInstrument& instrument = *r.instrument;
    if (r.volumeEnvelopeState.flags & ItEnvelopeFading) {
        changeFlags |= ChangeVolume;
        const int32_t faded = r.fadeVolume - r.fadeRate;
        if (faded < 0) {
            r.fadeVolume = 0;
            r.volumeEnvelopeState.flags &= static_cast<uint16_t>(~ItEnvelopeFading);
            r.volumeEnvelopeState.flags |= ItEnvelopeFinished;
            r.panEnvelopeState.flags |= ItEnvelopeFinished;
            r.pitchEnvelopeState.flags |= ItEnvelopeFinished;
            changeFlags |= ChangeStopVoice;
        } else {
            r.fadeVolume = static_cast<uint16_t>(faded);
        }
    }
    stepEnvelope(changeFlags, instrument.volumeEnvelope, r.volumeEnvelopeState, NodeScale,
                 ChangeVolume, VolumeKind);
    stepEnvelope(changeFlags, instrument.panEnvelope, r.panEnvelopeState, NodeScale, ChangePanning,
                 OtherKind);
    if (r.pitchEnvelopeState.flags & ItEnvelopeFilter)
        stepEnvelope(changeFlags, instrument.pitchEnvelope, r.pitchEnvelopeState, NodeScale,
                     ChangeFormatState, OtherKind);
    else
        stepEnvelope(changeFlags, instrument.pitchEnvelope, r.pitchEnvelopeState, PitchNodeScale,
                     ChangePitch, OtherKind);
}

void ItPlayer::advanceAutoVibrato(ItChannel& r) {
    const ItSample* s = static_cast<const ItSample*>(r.sample);
    if (!s || s->vibratoDepth == 0 || s->vibratoSpeed == 0)
        return;
    // The depth is reached gradually, `rate` 1/256ths per step.
    if ((r.autoVibratoSweep >> 8) != s->vibratoDepth)
        r.autoVibratoSweep += s->vibratoRate;
    const int32_t w = autoVibratoValue(s->vibratoWaveform, r.autoVibratoPosition, random);
    r.autoVibratoOffset = (static_cast<int32_t>(r.autoVibratoSweep >> 8) * w) >> 9;
    r.autoVibratoPosition = (r.autoVibratoPosition + s->vibratoSpeed) % AutoVibratoLength;
    changeFlags |= ChangePitch;
}

} // namespace tolva
