#pragma once
#include "engine/Channel.h"
#include "formats/xm/XmInstrument.h"

#include <cstdint>

namespace tolva {

// Where an instrument envelope stands for one channel.
struct XmEnvelopeState {
    uint16_t value = 0; // envelope value x 256
    int16_t delta = 0;  // change per tick between two points
    uint8_t point = 0;  // the point reached or being approached
    uint16_t ticksLeft = 0;
    uint32_t position = 0; // the envelope tick the next step plays
    uint8_t flags = 0; // the envelope type bits, EnvelopeFinished, EnvelopeReleased, EnvelopeFading
};

constexpr uint16_t EnvelopeFullVolume = 64 * 256;
constexpr uint16_t EnvelopeCentre = 32 * 256;
constexpr uint16_t FadeFullVolume = 32768;

struct XmChannel : ScreamChannel {
    const XmInstrument* instrument = nullptr; // of the sound held; null after a note of none
    const XmInstrument* selected = nullptr;   // by the last instrument number, for the next note
    EffectTick volumeColumnEffect = nullptr;
    int8_t relativeNote = 0;
    uint16_t fadeVolume = 0;
    uint16_t fadeoutSpeed = 0;
    uint8_t volumeColumn = 0;

    // Each command remembers its own last parameter.
    uint8_t portaUpMemory = 0;
    uint8_t portaDownMemory = 0;
    uint8_t xmVolumeSlideMemory = 0;
    uint8_t finePortaUpMemory = 0;
    uint8_t finePortaDownMemory = 0;
    uint8_t fineVolumeUpMemory = 0;
    uint8_t fineVolumeDownMemory = 0;
    uint8_t extraFinePortaUpMemory = 0;
    uint8_t extraFinePortaDownMemory = 0;
    uint8_t globalVolumeSlideMemory = 0;
    uint8_t panningSlideMemory = 0;

    XmEnvelopeState volumeEnvelope;
    XmEnvelopeState panningEnvelope;
    uint32_t autoVibratoTable = 0; // waveform start in autoVibratoWaveforms
    uint32_t autoVibratoPosition = 0;
    uint32_t autoVibratoSweep = 0; // sweep ticks counted so far
    int32_t autoVibratoOffset = 0; // period offset
    uint8_t keyOffCountdown = 0;
    int8_t panningSlideStep = 0;
    int8_t tonePortaDirection = 0; // 1 towards longer periods, -1 shorter; set by a note
    uint8_t volumeColumnSlideStep = 0;
    bool tremorMuted = false; // until a volume command or an instrument number
    // An instrument number came while no sound was held: the next note takes its defaults.
    bool numberWaits = false;
    bool glissando = false;      // E31: tone portamentos sound whole semitones
    int32_t glissandoOffset = 0; // to the semitone sounding, until the next note
};

// Whether the cell's note waits for a note delay (EDx, x > 0).
inline bool isNoteDelayed(const XmChannel& ch) {
    return ch.cellEffect == 14 && ch.cellParam > 0xD0 && ch.cellParam <= 0xDF;
}

} // namespace tolva
