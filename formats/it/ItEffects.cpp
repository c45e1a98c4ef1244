#include "formats/it/ItEffects.h"

#include "engine/ProTrackerEffects.h"
#include "engine/ScreamEffects.h"
#include "engine/Tables.h"
#include "formats/it/ItPlayer.h"

#include <algorithm>
#include <cstdlib>

namespace tolva {

ItSlide itSlide(uint8_t param) {
    const int32_t lo = param & 15;
    const int32_t hi = param >> 4;
    if (lo == 15 && hi != 0)
        return {ItSlide::Fine, hi, false};
    if (hi == 15 && lo != 0)
        return {ItSlide::Fine, -lo, false};
    if (hi == 0 && lo != 0)
        return {ItSlide::Normal, -lo, lo == 15};
    if (lo == 0 && hi != 0)
        return {ItSlide::Normal, hi, hi == 15};
    return {};
}

namespace {

uint8_t withMemory(uint8_t param, uint8_t& memory) {
    if (param == 0)
        param = memory;
    memory = param;
    return param;
}

void itSetSpeedRow(ItPlayer& player, ItChannel&, uint8_t param) {
    if (param == 0)
        return;
    player.speed = param;
    player.tickCountdown = param;
}

// The row is checked against the pattern the break goes to, which may be longer than this one.
void itPatternBreakRow(ItPlayer& player, ItChannel&, uint8_t param) {
    if (!jumpTaken(player))
        return;
    player.changeFlags |= ChangeJumpPending;
    player.nextRow = param;
}

// A position jump overrides the jump back of a loop in an earlier channel, whose count goes on
// (in ModPlug's files the loop wins); a break gives way to it.
void itPositionJumpRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if ((player.changeFlags & ChangeLoopJump) && !player.module.header.fromModPlug()) {
        player.changeFlags &= ~ChangeLoopJump;
        player.nextRow = 0;
    }
    positionJumpRow(player, ch, param);
}

void itVolumeSlideRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const ItSlide slide = itSlide(withMemory(param, ch.slideParamMemory));
    if (slide.kind == ItSlide::Fine) {
        ch.volume = limitVolume(std::min<int32_t>(ch.volume, 64) + slide.amount);
        player.changeFlags |= ChangeVolume;
    } else if (slide.kind == ItSlide::Normal) {
        ch.volumeSlideStep = static_cast<int8_t>(slide.amount);
        if (slide.atOnce)
            volumeSlideTick(player, ch);
        ch.activeEffect = volumeSlideTick;
    }
}

// IT's vibrato swings half as far as the shared one; under old effects it swings the full depth
// the other way, down in pitch first.
int32_t itVibratoSwing(ItPlayer& player, const ItChannel& ch) {
    const int32_t v =
        waveformValue(ch.vibratoTable, ch.vibratoPosition, player.random) * ch.vibratoDepth;
    return player.hasFlag(ItOldEffects) ? -v / 128 : v / 256;
}

// With linear slides IT bends by sixty-fourths of a semitone only below 16 of them; further it
// steps in sixteenths.
int32_t itSwingStep(const ItPlayer& player, int32_t swing) {
    return player.hasFlag(ItLinearSlides) && std::abs(swing) >= 16 ? swing / 4 * 4 : swing;
}

void setVibratoOffset(ItPlayer& player, ItChannel& ch, int32_t swing) {
    ch.vibratoOffset = swing;
    ch.vibratoOffsetSaved = swing;
    player.changeFlags |= ChangePitch;
}

void itVibratoAtPosition(ItPlayer& player, ItChannel& ch) {
    setVibratoOffset(player, ch, itSwingStep(player, itVibratoSwing(player, ch)));
}

// Each tick steps along the waveform before reading it.
void itVibratoTick(ItPlayer& player, ItChannel& ch) {
    ch.vibratoPosition = (ch.vibratoPosition + ch.vibratoSpeed) % WaveformLength;
    itVibratoAtPosition(player, ch);
}

// Vibrato setup with IT's tick; false when there was nothing to set up.
bool itVibratoSetup(ItPlayer& player, ItChannel& ch, uint8_t param, int32_t depthUnit) {
    if (!vibratoSetup(player, ch, param, depthUnit))
        return false;
    ch.activeEffect = asTick<itVibratoTick>;
    return true;
}

// Old effects hold the row's first tick where the waveform stands, a new note's at its start;
// otherwise the row moves at once.
void startVibrato(ItPlayer& player, ItChannel& ch, uint8_t param, int32_t depthUnit) {
    if (!itVibratoSetup(player, ch, param, depthUnit))
        return;
    if (player.hasFlag(ItOldEffects))
        itVibratoAtPosition(player, ch);
    else
        itVibratoTick(player, ch);
}

void itSetPanningRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    setPanningRow(player, ch, param);
    ch.panSetByCommand();
}

// The tremolo too moves on the row's first tick, except under old effects.
void itTremoloRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    tremoloRow(player, ch, param);
    if (ch.activeEffect == tremoloTick && !player.hasFlag(ItOldEffects))
        tremoloTick(player, ch);
}

void itArpeggioRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    arpeggioRow(player, ch, withMemory(param, ch.arpeggioMemory));
}

// The D rules for K and L: no slide at once on the row; a fine slide happens once.
bool combinedVolumeSlide(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const ItSlide slide = itSlide(withMemory(param, ch.slideParamMemory));
    if (slide.kind == ItSlide::None)
        return false;
    if (slide.kind == ItSlide::Fine) {
        ch.volume = limitVolume(std::min<int32_t>(ch.volume, 64) + slide.amount);
        ch.volumeSlideStep = 0;
        player.changeFlags |= ChangeVolume;
    } else {
        ch.volumeSlideStep = static_cast<int8_t>(slide.amount);
    }
    return true;
}

void itVibratoVolumeSlideTick(ItPlayer& player, ItChannel& ch) {
    volumeSlideTick(player, ch);
    itVibratoTick(player, ch);
}

void itVibratoVolumeSlideRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (!combinedVolumeSlide(player, ch, param))
        return;
    itVibratoSetup(player, ch, 0, player.quirks.slideUpUnit);
    ch.activeEffect = asTick<itVibratoVolumeSlideTick>;
}

void itTonePortamentoVolumeSlideRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (!combinedVolumeSlide(player, ch, param))
        return;
    tonePortamentoSetupKeepingStart(player, ch, 0);
    ch.activeEffect = tonePortamentoVolumeSlideTick;
}

void itSetChannelVolumeRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (param > 64)
        return;
    ch.channelVolume = param;
    player.changeFlags |= ChangeVolume;
}

void itChannelVolumeTick(ItPlayer& player, ItChannel& ch) {
    ch.channelVolume = limitVolume(ch.channelVolume + ch.volumeSlideStep);
    player.changeFlags |= ChangeVolume;
}

void itChannelVolumeSlideRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const ItSlide slide = itSlide(withMemory(param, ch.channelSlideMemory));
    if (slide.kind == ItSlide::Fine) {
        ch.channelVolume = limitVolume(ch.channelVolume + slide.amount);
        player.changeFlags |= ChangeVolume;
    } else if (slide.kind == ItSlide::Normal) {
        ch.volumeSlideStep = static_cast<int8_t>(slide.amount);
        if (slide.atOnce)
            itChannelVolumeTick(player, ch);
        ch.activeEffect = asTick<itChannelVolumeTick>;
    }
}

// A sample that has played to its end is not brought back.
void itRetriggerTick(ItPlayer& player, ItChannel& ch) {
    const int32_t v = player.voiceIndex(ch);
    if (v >= 0 && (player.mixer->voiceFlags(static_cast<uint32_t>(v)) & VoiceActive))
        retriggerVolumeSlideTick(player, ch);
}

// Without a new note the retrigger counts from the row's first tick.
// The retrigger count runs on from row to row.
void itRetriggerRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    retriggerVolumeSlideSetup(player, ch, param, false);
    ch.activeEffect = asTick<itRetriggerTick>;
    if (!(player.changeFlags & ChangeStartNote))
        itRetriggerTick(player, ch);
}

// Impulse Tracker's tremor counts on every tick of its rows, the row's first included, and the
// count goes on from one row to the next: audible for x ticks, muted for y (a zero counts as
// one; with old effects x + 1 and y + 1).
void itTremorTick(ItPlayer& player, ItChannel& ch) {
    if (ch.tremorCountdown == 0) {
        ch.tremorOn ^= 1;
        const uint32_t ticks = ch.tremorOn ? ch.tremorMemory >> 4 : ch.tremorMemory & 15;
        ch.tremorCountdown = static_cast<uint8_t>(
            player.hasFlag(ItOldEffects) ? ticks + 1 : std::max<uint32_t>(ticks, 1));
    }
    --ch.tremorCountdown;
    ch.tremoloOffset = static_cast<int8_t>(ch.tremorOn ? 0 : -std::min<int32_t>(ch.volume, 64));
    player.changeFlags |= ChangeVolume;
}

void itTremorRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    withMemory(param, ch.tremorMemory);
    ch.activeEffect = asTick<itTremorTick>;
    itTremorTick(player, ch);
}

constexpr int32_t SlowestTempo = 32;
constexpr int32_t FastestTempo = 255;

void itTempoTick(ItPlayer& player, ItChannel& ch) {
    player.tempo =
        static_cast<uint8_t>(std::clamp(player.tempo + ch.slideStep, SlowestTempo, FastestTempo));
    player.changeFlags |= ChangeTempo;
}

void itTempoRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const uint8_t p = withMemory(param, ch.tempoMemory);
    if (p >= 0x20) {
        player.tempo = p;
        player.changeFlags |= ChangeTempo;
        return;
    }
    ch.slideStep = static_cast<int8_t>(p < 0x10 ? -(p & 15) : (p & 15));
    ch.activeEffect = asTick<itTempoTick>;
}

void itFineVibratoRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    // A quarter of H's depth, in the same direction.
    startVibrato(player, ch, param, player.quirks.slideUpUnit / 4);
}

constexpr int32_t FullGlobalVolume = 128;

void itSetGlobalVolumeRow(ItPlayer& player, ItChannel&, uint8_t param) {
    if (param > FullGlobalVolume)
        return;
    player.globalVolume = param;
    player.refreshVolumes();
}

void itGlobalVolumeTick(ItPlayer& player, ItChannel& ch) {
    player.globalVolume =
        static_cast<uint8_t>(std::clamp(player.globalVolume + ch.volumeSlideStep, 0, 128));
    player.refreshVolumes();
}

void itGlobalVolumeSlideRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const ItSlide slide = itSlide(withMemory(param, ch.globalSlideMemory));
    if (slide.kind == ItSlide::Fine) {
        player.globalVolume = static_cast<uint8_t>(
            std::clamp<int32_t>(player.globalVolume + slide.amount, 0, FullGlobalVolume));
        player.refreshVolumes();
    } else if (slide.kind == ItSlide::Normal) {
        ch.volumeSlideStep = static_cast<int8_t>(slide.amount);
        if (slide.atOnce)
            itGlobalVolumeTick(player, ch);
        ch.activeEffect = asTick<itGlobalVolumeTick>;
    }
}

// Z runs a MIDI macro; the filter's messages are what a macro can play here.
ItFilterChange itMacroChange(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const ItMacros& macros = player.module.macros;
    const char* macro =
        param < 0x80 ? macros.parametered[ch.activeMacro] : macros.fixed[param - 0x80];
    ItMacroValues values;
    values.param = param;
    // The note as written, before an instrument's keyboard maps it.
    const uint32_t note = player.instrumentMode() && ch.instrument ? ch.writtenNote : ch.note;
    values.note = static_cast<uint8_t>(std::min<uint32_t>(note, 127));
    values.hostChannel = static_cast<uint8_t>(ch.owner);
    values.velocity = static_cast<uint8_t>(std::min(ch.volume * 2, 127));
    values.heard =
        static_cast<uint8_t>(std::min(player.mixerVolume(ch, Player::effectiveVolume(ch)), 127));
    values.pan = static_cast<uint8_t>(ch.panning >> 1);
    values.offset = ch.offsetMemory;
    return runItMacro(macro, values);
}

void itFilterRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const ItFilterChange change = itMacroChange(player, ch, param);
    if (change.cutoff >= 0)
        ch.filterCutoff = static_cast<uint8_t>(change.cutoff);
    if (change.resonance >= 0)
        ch.filterResonance = static_cast<uint8_t>(change.resonance);
    if (change.cutoff >= 0 || change.resonance >= 0)
        player.changeFlags |= ChangeFormatState;
}

// Each tick of the row moves the settings a tick's share of the way, there on its last tick.
void itSmoothFilterTick(ItPlayer& player, ItChannel& ch) {
    ++ch.smoothTick;
    const int32_t last = std::max<int32_t>(player.speed - 1, 1);
    uint8_t* settings[2] = {&ch.filterCutoff, &ch.filterResonance};
    for (int i = 0; i < 2; ++i) {
        if (ch.smoothTo[i] < 0)
            continue;
        const int32_t from = ch.smoothFrom[i];
        *settings[i] = static_cast<uint8_t>(
            from + (ch.smoothTo[i] - from) * std::min<int32_t>(ch.smoothTick, last) / last);
    }
    player.changeFlags |= ChangeFormatState;
}

// \ runs the macro as Z does, sliding the filter to its settings over the row.
void itSmoothFilterRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const ItFilterChange change = itMacroChange(player, ch, param);
    ch.smoothFrom[0] = ch.filterCutoff;
    ch.smoothFrom[1] = ch.filterResonance;
    ch.smoothTo[0] = change.cutoff;
    ch.smoothTo[1] = change.resonance;
    ch.smoothTick = 0;
    ch.activeEffect = asTick<itSmoothFilterTick>;
}

// O takes its 64 KiB step from the last SAx. Beside the volume column's tone portamento the
// sliding note jumps to the offset.
void itSampleOffsetRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const uint8_t p = withMemory(param, ch.offsetMemory);
    ch.sampleOffset = static_cast<uint32_t>(ch.highOffset) << 16 | static_cast<uint32_t>(p) << 8;
    const bool slides = (ch.cellMask & (ItMaskNote | ItMaskLastNote)) &&
                        ch.cellNote < ItNoteCount && hasColumnPortamento(ch);
    if (slides && !(player.changeFlags & ChangeStartNote))
        player.jumpToOffset(ch);
}

void itVolumeColumnSlideTick(ItPlayer& player, ItChannel& ch) {
    ch.volume = limitVolume(std::min<int32_t>(ch.volume, 64) + ch.volumeColumnSlideStep);
    player.changeFlags |= ChangeVolume;
}

const EffectRow itRows[ItEffectCount] = {
    nullptr,
    asRow<itSetSpeedRow>,                  // A
    asRow<itPositionJumpRow>,              // B
    asRow<itPatternBreakRow>,              // C
    asRow<itVolumeSlideRow>,               // D
    asRow<itPortamentoDownRow>,            // E
    asRow<itPortamentoUpRow>,              // F
    asRow<itTonePortamentoRow>,            // G
    asRow<itVibratoRow>,                   // H
    asRow<itTremorRow>,                    // I
    asRow<itArpeggioRow>,                  // J
    asRow<itVibratoVolumeSlideRow>,        // K
    asRow<itTonePortamentoVolumeSlideRow>, // L
    asRow<itSetChannelVolumeRow>,          // M
    asRow<itChannelVolumeSlideRow>,        // N
    asRow<itSampleOffsetRow>,              // O
    asRow<itPanningSlideRow>,              // P
    asRow<itRetriggerRow>,                 // Q
    asRow<itTremoloRow>,                   // R
    asRow<itSCommandRow>,                  // S
    asRow<itTempoRow>,                     // T
    asRow<itFineVibratoRow>,               // U
    asRow<itSetGlobalVolumeRow>,           // V
    asRow<itGlobalVolumeSlideRow>,         // W
    asRow<itSetPanningRow>,                // X
    asRow<itPanbrelloRow>,                 // Y
    asRow<itFilterRow>,                    // Z
    nullptr,
    asRow<itSmoothFilterRow>, // \ (the smooth macro)
};

} // namespace

void itApartSlideTick(ItPlayer& player, ItChannel& ch) {
    if (ch.period == 0)
        return;
    const int32_t next = player.slidePeriod(ch.period + ch.slideOffset, ch.apartPitchStep);
    ch.slideOffset = std::clamp(next, player.song.minPeriod, player.song.maxPeriod) - ch.period;
    player.changeFlags |= ChangePitch;
}

void itColumnPortamentoTick(ItPlayer& player, ItChannel& ch) {
    slideTick(player, ch);
    if (ch.period + ch.slideOffset == ch.portaTarget)
        ch.volumeColumnEffect = nullptr;
}

namespace {

// E and F beside the volume column's G keep their step apart and leave G its target.
void slideBesideColumnPortamento(ItPlayer& player, ItChannel& ch, uint8_t param, bool up) {
    const int32_t step = ch.portaStep;
    const int32_t target = ch.portaTarget;
    if (up)
        finePortamentoUpRow(player, ch, param);
    else
        finePortamentoDownRow(player, ch, param);
    if (ch.volumeColumnEffect != asTick<itColumnPortamentoTick> || ch.activeEffect != slideTick)
        return;
    ch.apartPitchStep = ch.portaStep;
    ch.portaStep = step;
    ch.portaTarget = target;
    ch.activeEffect = asTick<itApartSlideTick>;
}

} // namespace

// E, F and G share one speed memory unless the compatible tone portamento flag keeps G apart.
void itPortamentoDownRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (!player.hasFlag(ItCompatibleTonePortamento) && param != 0)
        ch.portaSpeed = param;
    slideBesideColumnPortamento(player, ch, param, false);
}

void itPortamentoUpRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (!player.hasFlag(ItCompatibleTonePortamento) && param != 0)
        ch.portaSpeed = param;
    slideBesideColumnPortamento(player, ch, param, true);
}

void itTonePortamentoRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (!player.hasFlag(ItCompatibleTonePortamento) && param != 0)
        ch.portaFineMemory = param;
    // The speed is remembered even before the channel has a note to slide to.
    if (param != 0)
        ch.portaSpeed = param;
    tonePortamentoSetupKeepingStart(player, ch, param);
}

void itVibratoRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    startVibrato(player, ch, param, player.quirks.slideUpUnit);
}

bool itVibratesTwice(const ItChannel& ch) {
    return ch.volumeColumnEffect == asTick<itVibratoTick> &&
           (ch.activeEffect == asTick<itVibratoTick> ||
            ch.activeEffect == asTick<itVibratoVolumeSlideTick>);
}

// Both columns have stepped the waveform; the swings of the two steps, each bent on its own, add
// up. On the row the volume column's depth, set last, holds for both.
void itVibrateTwice(ItPlayer& player, ItChannel& ch, bool onRow) {
    const uint8_t depth = static_cast<uint8_t>(ch.volumeColumn - VolumeColumnVibrato);
    if (onRow && depth != 0) {
        ch.vibratoMemory = static_cast<uint8_t>((ch.vibratoMemory & 0xF0) | depth);
        ch.vibratoDepth = depth * player.quirks.slideUpUnit;
    }
    const uint32_t position = ch.vibratoPosition;
    const uint32_t back = onRow && player.hasFlag(ItOldEffects) ? 0 : ch.vibratoSpeed;
    const int32_t later = itVibratoSwing(player, ch);
    ch.vibratoPosition = (position + WaveformLength - back) % WaveformLength;
    const int32_t earlier = itVibratoSwing(player, ch);
    ch.vibratoPosition = position;
    setVibratoOffset(player, ch, itSwingStep(player, earlier) + itSwingStep(player, later));
}

void itVolumeColumnSlideRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const ItSlide slide = itSlide(param);
    if (slide.kind == ItSlide::Fine) {
        ch.volume = limitVolume(std::min<int32_t>(ch.volume, 64) + slide.amount);
        player.changeFlags |= ChangeVolume;
    } else if (slide.kind == ItSlide::Normal) {
        ch.volumeColumnSlideStep = static_cast<int8_t>(slide.amount);
        if (slide.atOnce)
            itVolumeColumnSlideTick(player, ch);
        ch.activeEffect = asTick<itVolumeColumnSlideTick>;
    }
}

const EffectTable itEffects = itRows;

} // namespace tolva
