#pragma once
// The sixteen ProTracker effects and the helpers they are made of. Other formats list these row
// functions in their own tables and build on the setup and tick helpers.
#include "engine/Effect.h"

#include <cstdint>

namespace tolva {

struct Channel;
class Player;

// Volume arithmetic result limited to 0..64.
uint8_t limitVolume(int32_t volume);

// Shared parts of the combined effects. A setup starts the tick function named after it.
void volumeSlideSetup(Channel& channel, uint8_t param);
void volumeSlideTick(Player& player, Channel& channel);
void slideTick(Player& player, Channel& channel);
void tonePortamentoSetup(Player& player, Channel& channel, uint8_t param);
// The same towards `note` (none: no slide).
void tonePortamentoSetup(Player& player, Channel& channel, uint8_t param, uint32_t note);
// False when there was nothing to set up (no note, no depth or speed given or remembered).
bool vibratoSetup(Player& player, Channel& channel, uint8_t param);
// The same with a depth of `depthUnit` period units per parameter step.
bool vibratoSetup(Player& player, Channel& channel, uint8_t param, int32_t depthUnit);
// The offset at the channel's waveform position.
int32_t vibratoValue(Player& player, const Channel& channel);
void vibratoTick(Player& player, Channel& channel);
void tremoloSetup(Channel& channel, uint8_t param);
void tremoloTick(Player& player, Channel& channel);
void setPanning(Player& player, Channel& channel, uint8_t panning);
void patternLoop(Player& player, Channel& channel, uint8_t count);
void arpeggioTick(Player& player, Channel& channel);
void tonePortamentoVolumeSlideTick(Player& player, Channel& channel);
void vibratoVolumeSlideTick(Player& player, Channel& channel);

// Row functions of the table that other formats list or call.
void arpeggioRow(Player& player, Channel& channel, uint8_t param);
void portamentoUpRow(Player& player, Channel& channel, uint8_t param);
void portamentoDownRow(Player& player, Channel& channel, uint8_t param);
void tonePortamentoRow(Player& player, Channel& channel, uint8_t param);
void vibratoRow(Player& player, Channel& channel, uint8_t param);
void tremoloRow(Player& player, Channel& channel, uint8_t param);
void setPanningRow(Player& player, Channel& channel, uint8_t param);
void sampleOffsetRow(Player& player, Channel& channel, uint8_t param);
// Whether a position jump or pattern break on this row is taken, by the format's loop rule.
bool jumpTaken(Player& player);
void positionJumpRow(Player& player, Channel& channel, uint8_t param);
void setChannelVolumeRow(Player& player, Channel& channel, uint8_t param);
void patternBreakRow(Player& player, Channel& channel, uint8_t param);
void extendedCommandRow(Player& player, Channel& channel, uint8_t param);
void setSpeedTempoRow(Player& player, Channel& channel, uint8_t param);

// Effect numbers 0..15 (MOD effect digits 0..F).
extern const EffectTable proTrackerEffects;

} // namespace tolva
