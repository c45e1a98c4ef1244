#pragma once
// The FastTracker 2 effect column: effect numbers 0..35 (digits, then letters A..Z). Most
// commands keep a parameter memory of their own, so they get handlers of their own here.
#include "engine/EffectHandler.h"

#include <cstdint>

namespace tolva {

// FastTracker 2's vibrato lowers the pitch on the first half of its wave: the depth counts in
// periods, which grow downwards.
constexpr int32_t XmVibratoDepthUnit = 4;

namespace handlers {
// Picks its step from the ticks left in the row, as FastTracker 2 does.
extern const EffectPair xmArpeggio;
extern const EffectPair xmPortamentoUp;
// Acts, and remembers its parameter, only on a row that starts a note.
extern const EffectPair xmSampleOffset;
extern const EffectPair xmPortamentoDown;
extern const EffectPair xmTonePortamento;
extern const EffectPair xmTonePortamentoVolumeSlide;
extern const EffectPair xmVibrato;
extern const EffectPair xmVibratoVolumeSlide;
extern const EffectPair xmVolumeSlide;
extern const EffectPair xmExtendedCommand;
extern const EffectPair xmSetGlobalVolume;
extern const EffectPair xmGlobalVolumeSlide;
extern const EffectPair xmKeyOffEffect;
extern const EffectPair xmSetEnvelopePosition;
extern const EffectPair xmPanningSlide;
extern const EffectPair xmMultiRetrigger;
extern const EffectPair xmExtraFinePortamento;
// Counts on across rows and notes; only an instrument number starts it afresh.
extern const EffectPair xmTremor;
} // namespace handlers

extern const EffectTable xmEffects;

} // namespace tolva
