#pragma once
// Scream-Tracker-style handlers shared by the S3M, XM and IT effect tables. Tremor and the
// retrigger with volume slide work on ScreamChannel records.
#include "engine/EffectHandler.h"

#include <cstdint>

namespace tolva {

struct Channel;
struct ScreamChannel;
class Player;

class FinePortamentoDown : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class FinePortamentoUp : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

class Tremor : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

// onRow is the setup with a restarted counter; formats that keep the counter running call
// retriggerVolumeSlideSetup themselves.
class RetriggerVolumeSlide : public EffectHandler {
public:
    void onRow(Player& player, Channel& channel, uint8_t param) const override;
    void onTick(Player& player, Channel& channel) const override;
};

void retriggerVolumeSlideSetup(Player& player, ScreamChannel& channel, uint8_t param,
                               bool restartCounter);

namespace handlers {
extern const FinePortamentoDown finePortamentoDown;
extern const FinePortamentoUp finePortamentoUp;
extern const Tremor tremor;
extern const RetriggerVolumeSlide retriggerVolumeSlide;
} // namespace handlers

} // namespace tolva
