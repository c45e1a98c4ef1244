#include "engine/VoiceModel.h"

#include "engine/Player.h"
#include "engine/Tables.h"

#include <algorithm>

namespace tolva {

int32_t VoiceModel::noteToPeriod(Channel& ch, uint32_t note) {
    if (note == 0)
        return 0;
    const uint32_t index = std::min(note, PeriodTableLength) - 1;
    const uint64_t product =
        static_cast<uint64_t>(finetuneMultipliers[ch.finetune & 15]) * periodTable[index];
    return static_cast<int32_t>(product >> 31);
}

uint32_t VoiceModel::periodToFrequency(int32_t period, Channel&) {
    return player_.amigaStep(0x369E994000ull, period); // 3579545.25 Hz, the NTSC Amiga's
}

int32_t VoiceModel::slidePeriod(int32_t period, int32_t delta) {
    return period + delta;
}

int32_t VoiceModel::mixerVolume(Channel&, int32_t volume) {
    return (volume * player_.song.volumeScale) >> 5;
}

int32_t VoiceModel::mixerPanning(Channel&, int32_t panning) {
    return panning;
}

void VoiceModel::updateFormatState(Channel&) {}

} // namespace tolva
