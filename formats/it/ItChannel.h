#pragma once
#include "engine/Channel.h"
#include "engine/Tables.h"

#include <cstdint>

namespace tolva {

struct ItInstrument;

// Envelope state flags above the envelope's own flag byte.
enum : uint16_t {
    ItEnvelopeFinished = 0x100,    // the last node was reached
    ItEnvelopeSwitchedOff = 0x200, // an effect turned the envelope off
    ItEnvelopeReleased = 0x400,    // the note was released: sustain loops no longer hold
    ItEnvelopeFading = 0x800,      // volume envelope only: the fade-out runs
};

struct ItEnvelopeState {
    int32_t value = 0; // node value x 256 (pitch envelope x 8192)
    int32_t step = 0;  // change per tick between two nodes
    uint16_t flags = 0;
    uint16_t ticksLeft = 0; // to the next node
    uint8_t node = 0;
};

constexpr uint16_t ItFullFade = 1024;
constexpr int32_t ItFullVolumeEnvelope = 0x4000;
constexpr uint8_t ItOpenCutoff = 127;

// One voice, or the state of a pattern channel that owns no voice. Pattern channels borrow
// voices: the record moves with the channel, and a voice left behind keeps its copy.
struct ItChannel : ScreamChannel {
    bool panFromDefault = false; // the pan came from an instrument or sample default
    uint8_t volumeColumn = 0;
    uint8_t cellMask = 0;
    uint32_t owner = 0;      // pattern channel this record belongs to
    bool background = false; // no pattern channel drives it (free, or a released note)
    uint8_t newNoteAction = 0;
    uint8_t channelVolume = 64;
    uint32_t currentRate = 0; // middle-C rate of the sample playing
    EffectTick volumeColumnEffect = nullptr;
    const ItInstrument* instrument = nullptr;
    bool instrumentMissing = false;   // the last number named no instrument
    bool modulationRestarted = false; // the note's trigger has already restarted the waveforms
    uint32_t age = 0;                 // rows and ticks spent in the background
    float filterInputState[4] = {};
    float filterOutputState[4] = {};
    float filterCoefficients[4] = {};
    uint8_t filterCutoff = ItOpenCutoff;
    uint8_t filterResonance = 0;
    uint8_t activeMacro = 0; // the parametered macro SFx chose
    // A smooth macro's filter settings: from where, to where (-1: unchanged), and its tick.
    uint8_t smoothFrom[2] = {};
    int16_t smoothTo[2] = {-1, -1};
    uint8_t smoothTick = 0;
    bool startBackwards = false; // S9F on the row: a note starting on it plays from its end
    ItEnvelopeState volumeEnvelopeState;
    ItEnvelopeState panEnvelopeState;
    ItEnvelopeState pitchEnvelopeState;
    uint16_t fadeVolume = ItFullFade;
    uint8_t volumeSwing = 0; // the note's random variation, taken off its volume as it plays
    uint16_t fadeRate = 0;
    int32_t autoVibratoOffset = 0;
    uint32_t autoVibratoSweep = 0;
    uint32_t autoVibratoPosition = 0;
    uint8_t volumeColumnMemory = 0;
    uint8_t specialMemory = 0;  // the last S parameter, which S00 repeats
    uint8_t highOffset = 0;     // SAx: the 64 KiB step of the next O
    int32_t panOffset = 0;      // panbrello or random pan
    int32_t pitchPanOffset = 0; // the note's pitch-pan, until a pan command sets the pan anew
    uint32_t writtenNote = 0;   // the note as the pattern wrote it, before the keyboard maps it

    // A pan command (X, S8x, the volume column's) sets the pan anew: without the note's
    // pitch-pan, and kept through a note of an instrument without a default pan.
    void panSetByCommand() {
        pitchPanOffset = 0;
        panFromDefault = false;
    }

    uint8_t slideParamMemory = 0; // D, K, L
    uint8_t arpeggioMemory = 0;
    uint8_t globalSlideMemory = 0;
    uint8_t channelSlideMemory = 0;
    uint8_t panSlideMemory = 0;
    uint8_t tempoMemory = 0;
    uint8_t panbrelloMemory = 0;
    int8_t slideStep = 0; // T and P
    int8_t volumeColumnSlideStep = 0;
    int32_t apartPitchStep = 0; // an E or F slide kept apart from a G in the other column
    uint32_t panbrelloPosition = 0;
    uint8_t panbrelloDepth = 0;
    uint8_t panbrelloSpeed = 0;
    const int16_t* panbrelloTable = sineTable;
    int32_t panbrelloValue = 0;
    uint8_t panbrelloCountdown = 0;
};

} // namespace tolva
