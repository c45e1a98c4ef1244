#pragma once
// The FastTracker 2 effect column: effect numbers 0..35 (digits, then letters A..Z). Most
// commands keep a parameter memory of their own, so they get handlers of their own here.
#include "engine/EffectHandler.h"

#include <cstdint>

namespace tolva {

class XmPortamentoUp : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class XmPortamentoDown : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

// Takes the finetune of the sample the note would start before it picks the target.
class XmTonePortamento : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class XmTonePortamentoVolumeSlide : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

// FastTracker 2's vibrato lowers the pitch on the first half of its wave: the depth counts in
// periods, which grow downwards.
constexpr int32_t XmVibratoDepthUnit = 4;

class XmVibrato : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class XmVibratoVolumeSlide : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class XmVolumeSlide : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class XmExtendedCommand : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class XmSetGlobalVolume : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class XmGlobalVolumeSlide : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class XmKeyOffEffect : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class XmSetEnvelopePosition : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class XmPanningSlide : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class XmMultiRetrigger : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class XmExtraFinePortamento : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

namespace handlers {
extern const XmPortamentoUp xmPortamentoUp;
extern const XmPortamentoDown xmPortamentoDown;
extern const XmTonePortamento xmTonePortamento;
extern const XmTonePortamentoVolumeSlide xmTonePortamentoVolumeSlide;
extern const XmVibrato xmVibrato;
extern const XmVibratoVolumeSlide xmVibratoVolumeSlide;
extern const XmVolumeSlide xmVolumeSlide;
extern const XmExtendedCommand xmExtendedCommand;
extern const XmSetGlobalVolume xmSetGlobalVolume;
extern const XmGlobalVolumeSlide xmGlobalVolumeSlide;
extern const XmKeyOffEffect xmKeyOffEffect;
extern const XmSetEnvelopePosition xmSetEnvelopePosition;
extern const XmPanningSlide xmPanningSlide;
extern const XmMultiRetrigger xmMultiRetrigger;
extern const XmExtraFinePortamento xmExtraFinePortamento;
} // namespace handlers

extern const EffectTable xmEffects;

} // namespace tolva
