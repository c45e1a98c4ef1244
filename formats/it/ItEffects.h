#pragma once
// The IT effect letters A..Z (numbers 1..26) and the row functions of IT's own behaviour; the
// letters that behave like the shared effects use those.
#include "engine/Effect.h"

#include <cstdint>

namespace tolva {

struct ItChannel;
class ItPlayer;

enum : int8_t {
    ItEffectTonePorta = 7,             // G
    ItEffectVibrato = 8,               // H
    ItEffectTonePortaVolumeSlide = 12, // L
    ItEffectSpecial = 19,              // S
    ItEffectFineVibrato = 21,          // U
    ItEffectCount = 29,                // 28 is ModPlug's smooth macro
};

// Slide parameters of D, K, L, N, P, W and the volume column, taken apart.
struct ItSlide {
    enum Kind : uint8_t { None, Fine, Normal };
    Kind kind = None;
    int32_t amount = 0;  // positive slides up
    bool atOnce = false; // 0x0F and 0xF0 also slide once on the row
};
ItSlide itSlide(uint8_t param);

// The volume-column byte of a vibrato of depth 0; up to 9 more are deeper.
constexpr uint8_t VolumeColumnVibrato = 203;

// Whether the channel's cell has a volume column that slides to the note instead of starting it.
bool hasColumnPortamento(const ItChannel& channel);

// Row functions that the S commands, the panning effects and the volume column define or run.
void itPortamentoDownRow(ItPlayer& player, ItChannel& channel, uint8_t param);
void itPortamentoUpRow(ItPlayer& player, ItChannel& channel, uint8_t param);
void itTonePortamentoRow(ItPlayer& player, ItChannel& channel, uint8_t param);
void itVibratoRow(ItPlayer& player, ItChannel& channel, uint8_t param);
void itPanningSlideRow(ItPlayer& player, ItChannel& channel, uint8_t param);
void itSCommandRow(ItPlayer& player, ItChannel& channel, uint8_t param);
void itPanbrelloRow(ItPlayer& player, ItChannel& channel, uint8_t param);
// The volume column's own volume slide: the rules of D with a step of its own.
void itVolumeColumnSlideRow(ItPlayer& player, ItChannel& channel, uint8_t param);

// Slides the pitch by the channel's apart step, so that a G in the other column slides apart
// from it, each towards its own end.
void itApartSlideTick(ItPlayer& player, ItChannel& channel);
// The volume column's G, which ends on reaching its note: an E or F beside it slides on from there.
void itColumnPortamentoTick(ItPlayer& player, ItChannel& channel);

// A vibrato in both columns runs twice on each tick.
bool itVibratesTwice(const ItChannel& channel);
void itVibrateTwice(ItPlayer& player, ItChannel& channel, bool onRow);

// IT's waveforms for S3x, S4x and S5x: sine, ramp down, square, random.
const int16_t* itWaveform(uint8_t y);

extern const EffectTable itEffects;

} // namespace tolva
