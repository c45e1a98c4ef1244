#include "engine/SilenceDetector.h"

namespace tolva {

bool SilenceDetector::onTick(uint32_t, uint32_t framesRendered) {
    const uint32_t voices = mixer_.voiceCount();
    for (uint32_t v = 0; v < voices; ++v) {
        VoiceActivity activity = mixer_.voiceActivity(v);
        if ((activity.flags & VoiceActive) && activity.peakVolume != 0) {
            lastAudible = framesRendered;
            if (firstAudible == 0)
                firstAudible = framesRendered;
        }
        mixer_.clearVoiceActivity(v);
    }
    return true;
}

} // namespace tolva
