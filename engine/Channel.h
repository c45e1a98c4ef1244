#pragma once
#include "engine/Effect.h"
#include "engine/Tables.h"

#include <cstdint>

namespace tolva {

struct Sample;

// Playback state of one song channel. Format players derive their own channel records from it
// and keep them in arrays of their own; the player reaches them through Player::channel().
struct Channel {
    Sample* sample = nullptr;
    EffectTick activeEffect = nullptr; // runs on the later ticks of the row
    int32_t period = 0;                // 0 = silent
    uint32_t note = 0;                 // last note set by a cell
    uint32_t sampleOffset = 0;         // start of the next note, in sample frames
    uint8_t volume = 0;                // 0..64; a set-volume effect may store more
    uint8_t panning = 0;
    uint8_t surround = 0;
    uint8_t waveControl = 0; // WaveKeepVibrato, WaveKeepTremolo
    uint8_t loopRow = 0;
    uint8_t loopCounter = 0; // repetitions left; 0 = no loop running
    uint8_t finetune = 0;    // signed nibble in the low four bits
    uint8_t cellNote = 0;
    uint8_t cellInstrument = 0;
    int8_t cellEffect = -1; // negative: no effect
    uint8_t cellParam = 0;
    uint8_t portaFineMemory = 0;
    uint8_t portaSpeed = 0;
    uint8_t vibratoMemory = 0;
    uint8_t tremoloMemory = 0;
    uint8_t volumeSlideMemory = 0;
    uint8_t offsetMemory = 0;
    uint32_t portaNote = 0;
    uint32_t vibratoPosition = 0;
    int32_t vibratoDepth = 0;
    uint8_t vibratoSpeed = 0;
    const int16_t* vibratoTable = sineTable;
    int32_t vibratoOffset = 0;
    int32_t vibratoOffsetSaved = 0;
    uint32_t tremoloPosition = 0;
    int8_t tremoloDepth = 0;
    uint8_t tremoloSpeed = 0;
    const int16_t* tremoloTable = sineTable;
    int8_t tremoloOffset = 0;
    int8_t tremoloOffsetSaved = 0;
    int32_t portaTarget = 0;
    int32_t portaStep = 0;
    int32_t slideOffset = 0;
    int8_t volumeSlideStep = 0;
    int32_t arpeggioOffset = 0;
    uint8_t effectCounter = 0;
    uint8_t effectReload = 0;
    uint8_t effectExtra = 0;

    // Back to the initial values; fields that derived records add are left alone.
    void resetBase() { *this = Channel{}; }
};

enum : uint8_t {
    WaveKeepVibrato = 0x02, // a new note keeps the vibrato position
    WaveKeepTremolo = 0x04, // the same for tremolo
};

// Channels of formats that use the tremor and retrigger-with-volume-slide handlers.
struct ScreamChannel : Channel {
    uint8_t tremorMemory = 0;
    uint8_t retrigMemory = 0;
    uint8_t tremorCountdown = 0;
    uint8_t tremorNext = 0; // length of the phase that follows the current one
    uint8_t tremorOn = 0;
    uint32_t retrigFactor = 0; // see RetriggerVolumeSlide
    uint8_t retrigCounter = 0;
    uint8_t retrigReload = 0;
};

} // namespace tolva
