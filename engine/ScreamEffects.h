#pragma once
// Scream-Tracker-style effects shared by the S3M, XM and IT effect tables. Tremor and the
// retrigger with volume slide work on ScreamChannel records.
#include "engine/Effect.h"

#include <cstdint>

namespace tolva {

struct Channel;
struct ScreamChannel;
class Player;

// Fx/Ex style parameters: 0xFy fine, 0xEy extra fine (a quarter unit), else a slide per tick.
void finePortamentoDownRow(Player& player, Channel& channel, uint8_t param);
void finePortamentoUpRow(Player& player, Channel& channel, uint8_t param);
// The tone portamento's setup where a note on a channel without one starts like any other note
// instead of being slid to.
void tonePortamentoSetupKeepingStart(Player& player, Channel& channel, uint8_t param);
void tremorRow(Player& player, ScreamChannel& channel, uint8_t param);
// The retrigger's setup; formats that keep the counter running across rows leave it.
void retriggerVolumeSlideSetup(Player& player, ScreamChannel& channel, uint8_t param,
                               bool restartCounter);
void retriggerVolumeSlideTick(Player& player, ScreamChannel& channel);

} // namespace tolva
