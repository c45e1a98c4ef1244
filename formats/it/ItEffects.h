#pragma once
// The IT effect letters A..Z (numbers 1..26) and the handlers of IT's own behaviour; the
// letters that behave like the shared handlers use those.
#include "engine/EffectHandler.h"

#include <cstdint>

namespace tolva {

struct ItChannel;
class ItPlayer;

enum : int8_t {
    ItEffectTonePorta = 7,             // G
    ItEffectTonePortaVolumeSlide = 12, // L
    ItEffectSpecial = 19,              // S
    ItEffectCount = 27,
};

// Slide parameters of D, K, L, N, P, W and the volume column, taken apart.
struct ItSlide {
    enum Kind : uint8_t { None, Fine, Normal };
    Kind kind = None;
    int32_t amount = 0;  // positive slides up
    bool atOnce = false; // 0x0F and 0xF0 also slide once on the row
};
ItSlide itSlide(uint8_t param);

// Volume-column bytes that slide to the note instead of starting it.
bool isVolumeColumnPortamento(uint8_t volumeColumn);

// An IT handler: a pair of functions on the IT records.
using ItHandler = EffectPairOf<ItPlayer, ItChannel>;

namespace handlers {
extern const ItHandler itSetSpeed;
extern const ItHandler itPatternBreak;
extern const ItHandler itVolumeSlide;
extern const ItHandler itPortamentoDown;
extern const ItHandler itPortamentoUp;
extern const ItHandler itTonePortamento;
extern const ItHandler itVibrato;
extern const ItHandler itTremolo;
extern const ItHandler itArpeggio;
extern const ItHandler itVibratoVolumeSlide;
extern const ItHandler itTonePortamentoVolumeSlide;
extern const ItHandler itSetChannelVolume;
extern const ItHandler itChannelVolumeSlide;
extern const ItHandler itPanningSlide;
extern const ItHandler itRetrigger;
extern const ItHandler itTremor;
extern const ItHandler itSCommands;
extern const ItHandler itTempo;
extern const ItHandler itFineVibrato;
extern const ItHandler itSetGlobalVolume;
extern const ItHandler itGlobalVolumeSlide;
extern const ItHandler itPanbrello;
extern const ItHandler itFilter;
// The volume column's own volume slide: the rules of D with a step of its own.
extern const ItHandler itVolumeColumnSlide;
} // namespace handlers

extern const EffectTable itEffects;

} // namespace tolva
