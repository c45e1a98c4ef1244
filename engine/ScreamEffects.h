#pragma once
// Scream-Tracker-style handlers shared by the S3M, XM and IT effect tables. Tremor and the
// retrigger with volume slide work on ScreamChannel records.
#include "engine/EffectHandler.h"

#include <cstdint>

namespace tolva {

struct Channel;
struct ScreamChannel;
class Player;

void retriggerVolumeSlideSetup(Player& player, ScreamChannel& channel, uint8_t param,
                               bool restartCounter);

namespace handlers {
extern const EffectPair finePortamentoDown;
extern const EffectPair finePortamentoUp;
extern const EffectPair tremor;
// onRow is the setup with a restarted counter; formats that keep the counter running call
// retriggerVolumeSlideSetup themselves.
extern const EffectPair retriggerVolumeSlide;
} // namespace handlers

} // namespace tolva
