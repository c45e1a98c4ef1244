#include "mixer/MixRoutines.h"

namespace tolva {

RunGains runGains(const Voice& voice, uint32_t gain, bool forceMono) {
    RunGains g{};
    const uint32_t level = voice.volume * gain;
    const uint32_t pan = (voice.panning * 65794u) >> 16; // 0..255 onto 0..256
    // Stereo data pan as two mono voices, each side to its own output: a sample whose sides
    // are equal sounds as its mono copy does, and panned hard the far side falls silent.
    g.toLeft = (256 - pan) * level;
    g.toRight = pan * level;
    g.biasLeft = g.toLeft >> 5;
    g.biasRight = g.toRight >> 5;
    g.holdLeft = static_cast<int32_t>((int64_t(voice.holdLevel) * voice.holdLeft) >> 3);
    g.holdRight = static_cast<int32_t>((int64_t(voice.holdLevel) * voice.holdRight) >> 3);
    g.negateRight = (voice.flags & VoiceSurround) && !forceMono;
    return g;
}

} // namespace tolva
