#include "formats/it/ItEffects.h"

#include "engine/ProTrackerEffects.h"
#include "engine/ScreamEffects.h"
#include "engine/Tables.h"
#include "formats/it/ItPlayer.h"

#include <algorithm>

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

void setSpeedRow(ItPlayer& player, ItChannel&, uint8_t param) {
    if (param == 0)
        return;
    player.speed = param;
    player.tickCountdown = param;
}

// The row is checked against the pattern the break goes to, which may be longer than this one.
void patternBreakRow(ItPlayer& player, ItChannel&, uint8_t param) {
    if (player.isPatternLoopActive())
        return;
    player.changeFlags |= ChangeJumpPending;
    player.nextRow = param;
}

void volumeSlideRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const ItSlide slide = itSlide(withMemory(param, ch.slideParamMemory));
    if (slide.kind == ItSlide::Fine) {
        ch.volume = limitVolume(std::min<int32_t>(ch.volume, 64) + slide.amount);
        player.changeFlags |= ChangeVolume;
    } else if (slide.kind == ItSlide::Normal) {
        ch.volumeSlideStep = static_cast<int8_t>(slide.amount);
        if (slide.atOnce)
            volumeSlideTick(player, ch);
        ch.activeEffect = &handlers::itVolumeSlide;
    }
}

void volumeSlideStep(ItPlayer& player, ItChannel& ch) {
    volumeSlideTick(player, ch);
}

// E, F and G share one speed memory unless the compatible tone portamento flag keeps G apart.
void portamentoDownRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (!player.hasFlag(ItCompatibleTonePortamento) && param != 0)
        ch.portaSpeed = param;
    handlers::finePortamentoDown.onRow(player, ch, param);
}

void portamentoUpRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (!player.hasFlag(ItCompatibleTonePortamento) && param != 0)
        ch.portaSpeed = param;
    handlers::finePortamentoUp.onRow(player, ch, param);
}

// A tone portamento note on a silent channel starts like any other note.
void itTonePortamentoSetup(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const uint32_t starting = player.changeFlags & ChangeStartNote;
    tonePortamentoSetup(player, ch, param);
    player.changeFlags |= starting;
}

void tonePortamentoRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (!player.hasFlag(ItCompatibleTonePortamento) && param != 0)
        ch.portaFineMemory = param;
    // The speed is remembered even before the channel has a note to slide to.
    if (param != 0)
        ch.portaSpeed = param;
    itTonePortamentoSetup(player, ch, param);
}

void slideStep(ItPlayer& player, ItChannel& ch) {
    slideTick(player, ch);
}

// IT's vibrato swings half as far as the shared one, except under old effects.
void itVibratoTick(ItPlayer& player, ItChannel& ch) {
    const int32_t w = waveformValue(ch.vibratoTable, ch.vibratoPosition, player.random);
    ch.vibratoOffset = (w * ch.vibratoDepth) >> (player.hasFlag(ItOldEffects) ? 7 : 8);
    ch.vibratoOffsetSaved = ch.vibratoOffset;
    ch.vibratoPosition = (ch.vibratoPosition + ch.vibratoSpeed) % WaveformLength;
    player.changeFlags |= ChangePitch;
}

// Vibrato setup with IT's tick; false when there was nothing to set up.
bool itVibratoSetup(ItPlayer& player, ItChannel& ch, uint8_t param, int32_t depthUnit,
                    const EffectHandler& handler) {
    vibratoSetup(player, ch, param, depthUnit);
    if (ch.activeEffect != &handlers::vibrato)
        return false;
    ch.activeEffect = &handler;
    return true;
}

// Old effects wait for the second tick like the other trackers; otherwise the row moves at once.
void vibratoRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (itVibratoSetup(player, ch, param, player.song.slideUpUnit, handlers::itVibrato) &&
        !player.hasFlag(ItOldEffects))
        itVibratoTick(player, ch);
}

void vibratoStep(ItPlayer& player, ItChannel& ch) {
    itVibratoTick(player, ch);
}

// The tremolo too moves on the row's first tick, except under old effects.
void tremoloRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    handlers::tremolo.onRow(player, ch, param);
    if (ch.activeEffect == &handlers::tremolo && !player.hasFlag(ItOldEffects))
        tremoloTick(player, ch);
}

void tremoloStep(ItPlayer& player, ItChannel& ch) {
    tremoloTick(player, ch);
}

void arpeggioRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    handlers::arpeggio.onRow(player, ch, withMemory(param, ch.arpeggioMemory));
}

void arpeggioStep(ItPlayer& player, ItChannel& ch) {
    handlers::arpeggio.onTick(player, ch);
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

void vibratoVolumeSlideRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (!combinedVolumeSlide(player, ch, param))
        return;
    itVibratoSetup(player, ch, 0, player.song.slideUpUnit, handlers::itVibrato);
    ch.activeEffect = &handlers::itVibratoVolumeSlide;
}

void vibratoVolumeSlideStep(ItPlayer& player, ItChannel& ch) {
    volumeSlideTick(player, ch);
    itVibratoTick(player, ch);
}

void tonePortamentoVolumeSlideRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (!combinedVolumeSlide(player, ch, param))
        return;
    itTonePortamentoSetup(player, ch, 0);
    ch.activeEffect = &handlers::itTonePortamentoVolumeSlide;
}

void tonePortamentoVolumeSlideStep(ItPlayer& player, ItChannel& ch) {
    volumeSlideTick(player, ch);
    slideTick(player, ch);
}

void setChannelVolumeRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (param > 64)
        return;
    ch.channelVolume = param;
    player.changeFlags |= ChangeVolume;
}

void channelVolumeStep(ItPlayer& player, ItChannel& ch) {
    ch.channelVolume = limitVolume(ch.channelVolume + ch.volumeSlideStep);
    player.changeFlags |= ChangeVolume;
}

void channelVolumeSlideRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const ItSlide slide = itSlide(withMemory(param, ch.channelSlideMemory));
    if (slide.kind == ItSlide::Fine) {
        ch.channelVolume = limitVolume(ch.channelVolume + slide.amount);
        player.changeFlags |= ChangeVolume;
    } else if (slide.kind == ItSlide::Normal) {
        ch.volumeSlideStep = static_cast<int8_t>(slide.amount);
        if (slide.atOnce)
            channelVolumeStep(player, ch);
        ch.activeEffect = &handlers::itChannelVolumeSlide;
    }
}

// Without a new note the retrigger counts from the row's first tick.
// The retrigger count runs on from row to row.
void retriggerRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    retriggerVolumeSlideSetup(player, ch, param, false);
    if (!(player.changeFlags & ChangeStartNote))
        handlers::retriggerVolumeSlide.onTick(player, ch);
}

void retriggerStep(ItPlayer& player, ItChannel& ch) {
    handlers::retriggerVolumeSlide.onTick(player, ch);
}

// Impulse Tracker's tremor counts on every tick of its rows, the row's first included, and the
// count goes on from one row to the next: audible for x ticks, muted for y (a zero counts as
// one; with old effects x + 1 and y + 1).
void tremorStep(ItPlayer& player, ItChannel& ch) {
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

void tremorRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    withMemory(param, ch.tremorMemory);
    ch.activeEffect = &handlers::itTremor;
    tremorStep(player, ch);
}

constexpr int32_t SlowestTempo = 32;
constexpr int32_t FastestTempo = 255;

void tempoRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const uint8_t p = withMemory(param, ch.tempoMemory);
    if (p >= 0x20) {
        player.tempo = p;
        player.changeFlags |= ChangeTempo;
        return;
    }
    ch.slideStep = static_cast<int8_t>(p < 0x10 ? -(p & 15) : (p & 15));
    ch.activeEffect = &handlers::itTempo;
}

void tempoStep(ItPlayer& player, ItChannel& ch) {
    player.tempo =
        static_cast<uint8_t>(std::clamp(player.tempo + ch.slideStep, SlowestTempo, FastestTempo));
    player.changeFlags |= ChangeTempo;
}

void fineVibratoRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    // A quarter of H's depth, in the same direction.
    itVibratoSetup(player, ch, param, player.song.slideUpUnit / 4, handlers::itFineVibrato);
}

constexpr int32_t FullGlobalVolume = 128;

void setGlobalVolumeRow(ItPlayer& player, ItChannel&, uint8_t param) {
    if (param > FullGlobalVolume)
        return;
    player.globalVolume = param;
    player.refreshVolumes();
}

void globalVolumeStep(ItPlayer& player, ItChannel& ch) {
    player.globalVolume =
        static_cast<uint8_t>(std::clamp(player.globalVolume + ch.volumeSlideStep, 0, 128));
    player.refreshVolumes();
}

void globalVolumeSlideRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const ItSlide slide = itSlide(withMemory(param, ch.globalSlideMemory));
    if (slide.kind == ItSlide::Fine) {
        player.globalVolume = static_cast<uint8_t>(
            std::clamp<int32_t>(player.globalVolume + slide.amount, 0, FullGlobalVolume));
        player.refreshVolumes();
    } else if (slide.kind == ItSlide::Normal) {
        ch.volumeSlideStep = static_cast<int8_t>(slide.amount);
        if (slide.atOnce)
            globalVolumeStep(player, ch);
        ch.activeEffect = &handlers::itGlobalVolumeSlide;
    }
}

// Impulse Tracker's default MIDI macros: Z00-Z7F set the cutoff, Z80-Z8F the resonance in steps
// of 8, and Z90 and above nothing.
constexpr uint8_t FirstResonance = 0x80;
constexpr uint8_t LastResonance = 0x8F;
constexpr uint8_t ResonanceStep = 8;

void filterRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    if (param < FirstResonance)
        ch.filterCutoff = param;
    else if (param <= LastResonance)
        ch.filterResonance = static_cast<uint8_t>((param - FirstResonance) * ResonanceStep);
    else
        return;
    player.changeFlags |= ChangeFormatState;
}

void volumeColumnSlideStep(ItPlayer& player, ItChannel& ch) {
    ch.volume = limitVolume(std::min<int32_t>(ch.volume, 64) + ch.volumeColumnSlideStep);
    player.changeFlags |= ChangeVolume;
}

void volumeColumnSlideRow(ItPlayer& player, ItChannel& ch, uint8_t param) {
    const ItSlide slide = itSlide(param);
    if (slide.kind == ItSlide::Fine) {
        ch.volume = limitVolume(std::min<int32_t>(ch.volume, 64) + slide.amount);
        player.changeFlags |= ChangeVolume;
    } else if (slide.kind == ItSlide::Normal) {
        ch.volumeColumnSlideStep = static_cast<int8_t>(slide.amount);
        if (slide.atOnce)
            volumeColumnSlideStep(player, ch);
        ch.activeEffect = &handlers::itVolumeColumnSlide;
    }
}

} // namespace

namespace handlers {
const ItHandler itSetSpeed{setSpeedRow, nullptr};
const ItHandler itPatternBreak{patternBreakRow, nullptr};
const ItHandler itVolumeSlide{volumeSlideRow, volumeSlideStep};
const ItHandler itPortamentoDown{portamentoDownRow, slideStep};
const ItHandler itPortamentoUp{portamentoUpRow, slideStep};
const ItHandler itTonePortamento{tonePortamentoRow, slideStep};
const ItHandler itVibrato{vibratoRow, vibratoStep};
const ItHandler itArpeggio{arpeggioRow, arpeggioStep};
const ItHandler itTremolo{tremoloRow, tremoloStep};
const ItHandler itVibratoVolumeSlide{vibratoVolumeSlideRow, vibratoVolumeSlideStep};
const ItHandler itTonePortamentoVolumeSlide{tonePortamentoVolumeSlideRow,
                                            tonePortamentoVolumeSlideStep};
const ItHandler itSetChannelVolume{setChannelVolumeRow, nullptr};
const ItHandler itChannelVolumeSlide{channelVolumeSlideRow, channelVolumeStep};
const ItHandler itRetrigger{retriggerRow, retriggerStep};
const ItHandler itTremor{tremorRow, tremorStep};
const ItHandler itTempo{tempoRow, tempoStep};
const ItHandler itFineVibrato{fineVibratoRow, vibratoStep};
const ItHandler itSetGlobalVolume{setGlobalVolumeRow, nullptr};
const ItHandler itGlobalVolumeSlide{globalVolumeSlideRow, globalVolumeStep};
const ItHandler itFilter{filterRow, nullptr};
const ItHandler itVolumeColumnSlide{volumeColumnSlideRow, volumeColumnSlideStep};
} // namespace handlers

namespace {

const EffectHandler* const itHandlers[ItEffectCount] = {
    nullptr,
    &handlers::itSetSpeed,                  // A
    &handlers::positionJump,                // B
    &handlers::itPatternBreak,              // C
    &handlers::itVolumeSlide,               // D
    &handlers::itPortamentoDown,            // E
    &handlers::itPortamentoUp,              // F
    &handlers::itTonePortamento,            // G
    &handlers::itVibrato,                   // H
    &handlers::itTremor,                    // I
    &handlers::itArpeggio,                  // J
    &handlers::itVibratoVolumeSlide,        // K
    &handlers::itTonePortamentoVolumeSlide, // L
    &handlers::itSetChannelVolume,          // M
    &handlers::itChannelVolumeSlide,        // N
    &handlers::sampleOffset,                // O
    &handlers::itPanningSlide,              // P
    &handlers::itRetrigger,                 // Q
    &handlers::itTremolo,                   // R
    &handlers::itSCommands,                 // S
    &handlers::itTempo,                     // T
    &handlers::itFineVibrato,               // U
    &handlers::itSetGlobalVolume,           // V
    &handlers::itGlobalVolumeSlide,         // W
    &handlers::setPanning,                  // X
    &handlers::itPanbrello,                 // Y
    &handlers::itFilter,                    // Z
};

} // namespace

const EffectTable itEffects = {itHandlers, ItEffectCount};

} // namespace tolva
