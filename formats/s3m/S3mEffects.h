#pragma once
// The S3M command set: command number (A = 1 .. X = 24) to handler. Shared handlers take the
// commands that behave as elsewhere; the ones below carry the S3M rules.
#include "engine/EffectHandler.h"

#include <cstdint>

namespace tolva {

// Commands without parameter memory of their own take the channel's last non-zero parameter.
class WithLastParam : public EffectHandler {
public:
    constexpr explicit WithLastParam(const EffectHandler& inner) : inner_(inner) {}
    void onRow(Player& player, Channel& channel, uint8_t param) const override;

private:
    const EffectHandler& inner_;
};

class SetSpeed : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class S3mVolumeSlide : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class S3mTonePortamento : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class S3mArpeggio : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class S3mVibratoVolumeSlide : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class S3mTonePortamentoVolumeSlide : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class S3mRetrigger : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class S3mSpecial : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class FineVibrato : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

// Xxx: 00 left .. 80 right.
class S3mSetPanning : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

class SetGlobalVolume : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
};

extern const EffectTable s3mEffects;

} // namespace tolva
