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
void vibratoSetup(Player& player, Channel& channel, uint8_t param);
// The same with a depth of `depthUnit` period units per parameter step.
void vibratoSetup(Player& player, Channel& channel, uint8_t param, int32_t depthUnit);
void vibratoTick(Player& player, Channel& channel);
void tremoloSetup(Channel& channel, uint8_t param);
void tremoloTick(Player& player, Channel& channel);
void setPanning(Player& player, Channel& channel, uint8_t panning);
void patternLoop(Player& player, Channel& channel, uint8_t count);

class Arpeggio : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class PortamentoUp : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class PortamentoDown : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class TonePortamento : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class Vibrato : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class TonePortamentoVolumeSlide : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class VibratoVolumeSlide : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class Tremolo : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class SetPanning : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class SampleOffset : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class VolumeSlide : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class PositionJump : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class SetChannelVolume : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class PatternBreak : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class ExtendedCommand : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class SetSpeedTempo : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class Retrigger : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class NoteCut : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class NoteDelay : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

namespace handlers {
extern const Arpeggio arpeggio;
extern const PortamentoUp portamentoUp;
extern const PortamentoDown portamentoDown;
extern const TonePortamento tonePortamento;
extern const Vibrato vibrato;
extern const TonePortamentoVolumeSlide tonePortamentoVolumeSlide;
extern const VibratoVolumeSlide vibratoVolumeSlide;
extern const Tremolo tremolo;
extern const SetPanning setPanning;
extern const SampleOffset sampleOffset;
extern const VolumeSlide volumeSlide;
extern const PositionJump positionJump;
extern const SetChannelVolume setChannelVolume;
extern const PatternBreak patternBreak;
extern const ExtendedCommand extendedCommand;
extern const SetSpeedTempo setSpeedTempo;
extern const Retrigger retrigger;
extern const NoteCut noteCut;
extern const NoteDelay noteDelay;
} // namespace handlers

// Effect numbers 0..15 (MOD effect digits 0..F).
extern const EffectTable proTrackerEffects;

} // namespace tolva
