#include "mixer/MixRoutines.h"

namespace tolva {

RunGains runGains(const Voice& voice, uint32_t gain, bool forceMono) {
    RunGains g{};
    const uint32_t level = voice.volume * gain;
    const uint32_t pan = (voice.panning * 65794u) >> 16; // 0..255 onto 0..256
    if (voice.flags & VoiceStereo) {
        // A balance control: the side panned away from moves over to the other.
        const int32_t balance = 2 * (int32_t(pan) - 128);
        const uint32_t towardsRight = balance > 0 ? uint32_t(balance) : 0;
        const uint32_t towardsLeft = balance < 0 ? uint32_t(-balance) : 0;
        g.leftToLeft = (256 - towardsRight) * level;
        g.leftToRight = towardsRight * level;
        g.rightToLeft = towardsLeft * level;
        g.rightToRight = (256 - towardsLeft) * level;
        g.biasLeft = (g.leftToLeft + g.rightToLeft) >> 5;
        g.biasRight = (g.leftToRight + g.rightToRight) >> 5;
    } else {
        g.leftToLeft = (256 - pan) * level;
        g.leftToRight = pan * level;
        g.biasLeft = g.leftToLeft >> 5;
        g.biasRight = g.leftToRight >> 5;
    }
    g.holdLeft = static_cast<int32_t>((int64_t(voice.holdLevel) * voice.holdLeft) >> 3);
    g.holdRight = static_cast<int32_t>((int64_t(voice.holdLevel) * voice.holdRight) >> 3);
    g.negateRight = (voice.flags & VoiceSurround) && !forceMono;
    return g;
}

} // namespace tolva
