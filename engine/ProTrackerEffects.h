#pragma once
// The sixteen ProTracker effects and their timed sub-handlers. Other formats put these handlers
// in their own tables and build on the setup and tick helpers.
#include "engine/EffectHandler.h"

#include <cstdint>

namespace tolva {

struct Channel;
class Player;

// Volume arithmetic result limited to 0..64.
uint8_t limitVolume(int32_t volume);

// Shared parts of the combined effects.
void volumeSlideSetup(Channel& channel, uint8_t param);
void volumeSlideTick(Player& player, Channel& channel);
void slideTick(Player& player, Channel& channel);
void tonePortamentoSetup(Player& player, Channel& channel, uint8_t param);
// The same towards `note` (none: no slide).
void tonePortamentoSetup(Player& player, Channel& channel, uint8_t param, uint32_t note);
void vibratoSetup(Player& player, Channel& channel, uint8_t param);
// The same with a depth of `depthUnit` period units per parameter step.
void vibratoSetup(Player& player, Channel& channel, uint8_t param, int32_t depthUnit);
// The offset at the channel's waveform position.
int32_t vibratoValue(Player& player, const Channel& channel);
void vibratoTick(Player& player, Channel& channel);
void tremoloSetup(Channel& channel, uint8_t param);
void tremoloTick(Player& player, Channel& channel);
void setPanning(Player& player, Channel& channel, uint8_t panning);
void patternLoop(Player& player, Channel& channel, uint8_t count);

namespace handlers {
extern const EffectPair arpeggio;
extern const EffectPair portamentoUp;
extern const EffectPair portamentoDown;
extern const EffectPair tonePortamento;
extern const EffectPair vibrato;
extern const EffectPair tonePortamentoVolumeSlide;
extern const EffectPair vibratoVolumeSlide;
extern const EffectPair tremolo;
extern const EffectPair setPanning;
extern const EffectPair sampleOffset;
extern const EffectPair volumeSlide;
extern const EffectPair positionJump;
extern const EffectPair setChannelVolume;
extern const EffectPair patternBreak;
extern const EffectPair extendedCommand;
extern const EffectPair setSpeedTempo;
extern const EffectPair retrigger;
extern const EffectPair noteCut;
extern const EffectPair noteDelay;
} // namespace handlers

// Effect numbers 0..15 (MOD effect digits 0..F).
extern const EffectTable proTrackerEffects;

} // namespace tolva
