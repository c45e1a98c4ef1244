#pragma once
#include "engine/Channel.h"

#include <cstdint>

namespace tolva {

class Player;

// How a format turns a channel's state into what its voice plays: the pitch model (notes to
// periods, periods to mixer steps) and the levels. These rules are ProTracker's; a format that
// differs supplies a model of its own, so its pitch and levels read in one place. The player
// asks on a channel's changes, never per sample.
class VoiceModel {
public:
    explicit VoiceModel(Player& player) : player_(player) {}
    VoiceModel(const VoiceModel&) = delete;
    VoiceModel& operator=(const VoiceModel&) = delete;
    virtual ~VoiceModel() = default;

    virtual int32_t noteToPeriod(Channel& channel, uint32_t note);
    // The mixer step (16.16 frames per output frame) of a period.
    virtual uint32_t periodToFrequency(int32_t period, Channel& channel);
    // The period a slide of `delta` units leads to from `period`.
    virtual int32_t slidePeriod(int32_t period, int32_t delta);
    virtual int32_t mixerVolume(Channel& channel, int32_t volume);
    virtual int32_t mixerPanning(Channel& channel, int32_t panning);
    // Whatever else of the format's own the voice takes (ChangeFormatState).
    virtual void updateFormatState(Channel& channel);

protected:
    Player& player_;
};

} // namespace tolva
