#include "formats/xm/XmEffects.h"

#include "engine/ProTrackerEffects.h"
#include "engine/ScreamEffects.h"
#include "formats/xm/XmEnvelope.h"
#include "formats/xm/XmPlayer.h"

#include <algorithm>

namespace tolva {

namespace {

XmChannel& xm(Channel& channel) {
    return static_cast<XmChannel&>(channel);
}

XmPlayer& xm(Player& player) {
    return static_cast<XmPlayer&>(player);
}

uint8_t remembered(uint8_t param, uint8_t& memory) {
    if (param != 0)
        memory = param;
    return memory;
}

// An up-or-down slide step: the high nibble up, else the low nibble down.
int8_t slideStep(uint8_t param) {
    return static_cast<int8_t>((param >> 4) != 0 ? param >> 4 : -(param & 15));
}

// A fine command whose zero parameter nibble repeats the last one of the same command.
void fineWithMemory(Player& player, Channel& ch, uint8_t command, uint8_t y, uint8_t& memory) {
    handlers::extendedCommand.onRow(player, ch,
                                    static_cast<uint8_t>(command << 4 | remembered(y, memory)));
}

void xmArpeggioRow(Player&, Channel& ch, uint8_t param) {
    if (param == 0)
        return;
    ch.effectCounter = param >> 4;
    ch.effectReload = param & 15;
    ch.activeEffect = &handlers::xmArpeggio;
}

// With n ticks left, n mod 3 chooses: 0 the note, 1 x, 2 y. Past the 15 entries of the
// tracker's table, 16 plays the note and anything longer y.
void xmArpeggioStep(Player& player, Channel& ch) {
    if (ch.period == 0)
        return;
    const uint32_t left = player.tickCountdown;
    uint32_t step = ch.effectReload;
    if (left == 16 || (left < 16 && left % 3 == 0))
        step = 0;
    else if (left < 16 && left % 3 == 1)
        step = ch.effectCounter;
    ch.arpeggioOffset = player.noteToPeriod(ch, ch.note + step) - ch.period;
    player.changeFlags |= ChangePitch;
}

void xmSampleOffsetRow(Player& player, Channel& ch, uint8_t param) {
    if (player.changeFlags & ChangeStartNote)
        handlers::sampleOffset.onRow(player, ch, param);
}

void xmPortamentoUpRow(Player& player, Channel& ch, uint8_t param) {
    const uint8_t p = remembered(param, xm(ch).portaUpMemory);
    ch.portaTarget = player.song.minPeriod;
    ch.portaStep = p * player.song.slideUpUnit;
    ch.activeEffect = &handlers::xmPortamentoUp;
}

void xmPortamentoUpStep(Player& player, Channel& ch) {
    slideTick(player, ch);
}

void xmPortamentoDownRow(Player& player, Channel& ch, uint8_t param) {
    const uint8_t p = remembered(param, xm(ch).portaDownMemory);
    ch.portaTarget = player.song.maxPeriod;
    ch.portaStep = p * player.song.slideDownUnit;
    ch.activeEffect = &handlers::xmPortamentoDown;
}

void xmPortamentoDownStep(Player& player, Channel& ch) {
    slideTick(player, ch);
}

void xmTonePortamentoRow(Player& player, Channel& ch, uint8_t param) {
    // A tone portamento in the volume column has set the speed.
    const bool volumeColumnSpeed = xm(ch).volumeColumn >> 4 == 0xF;
    // The target is the last note given with a tone portamento: notes played without one
    // since do not move it.
    const uint32_t note = xm(ch).cellNote < XmKeyOff ? ch.note : ch.portaNote;
    tonePortamentoSetup(player, ch, volumeColumnSpeed ? 0 : param, note);
}

void xmTonePortamentoStep(Player& player, Channel& ch) {
    slideTick(player, ch);
}

void xmTonePortamentoVolumeSlideRow(Player& player, Channel& ch, uint8_t param) {
    handlers::xmVolumeSlide.onRow(player, ch, param);
    handlers::xmTonePortamento.onRow(player, ch, 0);
    ch.activeEffect = &handlers::xmTonePortamentoVolumeSlide;
}

void xmTonePortamentoVolumeSlideStep(Player& player, Channel& ch) {
    volumeSlideTick(player, ch);
    slideTick(player, ch);
}

void xmVibratoRow(Player& player, Channel& ch, uint8_t param) {
    vibratoSetup(player, ch, param, XmVibratoDepthUnit);
}

void xmVibratoStep(Player& player, Channel& ch) {
    vibratoTick(player, ch);
}

void xmVibratoVolumeSlideRow(Player& player, Channel& ch, uint8_t param) {
    handlers::xmVolumeSlide.onRow(player, ch, param);
    vibratoSetup(player, ch, 0, XmVibratoDepthUnit);
    ch.activeEffect = &handlers::xmVibratoVolumeSlide;
}

void xmVibratoVolumeSlideStep(Player& player, Channel& ch) {
    volumeSlideTick(player, ch);
    vibratoTick(player, ch);
}

void xmVolumeSlideRow(Player&, Channel& ch, uint8_t param) {
    volumeSlideSetup(ch, remembered(param, xm(ch).xmVolumeSlideMemory));
    ch.activeEffect = &handlers::xmVolumeSlide;
}

void xmVolumeSlideStep(Player& player, Channel& ch) {
    volumeSlideTick(player, ch);
}

void xmExtendedCommandRow(Player& player, Channel& channel, uint8_t param) {
    XmChannel& ch = xm(channel);
    const uint8_t y = param & 15;
    switch (param >> 4) {
    case 0x1:
        // Fine pitch slides act once on a delayed row, as X1x and X2x do.
        if (!player.repeatingRow)
            fineWithMemory(player, ch, 0x1, y, ch.finePortaUpMemory);
        break;
    case 0x2:
        if (!player.repeatingRow)
            fineWithMemory(player, ch, 0x2, y, ch.finePortaDownMemory);
        break;
    case 0x4: {
        // Waveform 3 is the sine here, and the position always restarts with a new note.
        const uint8_t waveform = (y & 3) == 3 ? 0 : y & 3;
        handlers::extendedCommand.onRow(player, ch, static_cast<uint8_t>(0x40 | waveform));
        break;
    }
    case 0x5:
        // The finetune of the note the row starts, in the full signed byte: E8 is 0, E0 -128,
        // EF 112.
        if (player.changeFlags & ChangeStartNote)
            ch.finetune = static_cast<uint8_t>((y + 8) * 16);
        break;
    case 0xA:
        fineWithMemory(player, ch, 0xA, y, ch.fineVolumeUpMemory);
        break;
    case 0xB:
        fineWithMemory(player, ch, 0xB, y, ch.fineVolumeDownMemory);
        break;
    case 0x9:
        // E90 restarts the note with the row's notes, which a pattern delay does not repeat.
        if (y != 0 || !player.repeatingRow)
            handlers::extendedCommand.onRow(player, ch, param);
        break;
    default:
        handlers::extendedCommand.onRow(player, ch, param);
        break;
    }
}

void xmSetGlobalVolumeRow(Player& player, Channel&, uint8_t param) {
    player.globalVolume = std::min<uint8_t>(param, 64);
    player.refreshVolumes();
}

void xmGlobalVolumeSlideRow(Player&, Channel& ch, uint8_t param) {
    ch.volumeSlideStep = slideStep(remembered(param, xm(ch).globalVolumeSlideMemory));
    ch.activeEffect = &handlers::xmGlobalVolumeSlide;
}

void xmGlobalVolumeSlideStep(Player& player, Channel& ch) {
    player.globalVolume = limitVolume(player.globalVolume + ch.volumeSlideStep);
    player.refreshVolumes();
}

void xmKeyOffEffectRow(Player& player, Channel& ch, uint8_t param) {
    if (param >= player.speed)
        return;
    if (param == 0) {
        xm(player).keyOff(xm(ch));
        return;
    }
    xm(ch).keyOffCountdown = param;
    ch.activeEffect = &handlers::xmKeyOffEffect;
}

void xmKeyOffEffectStep(Player& player, Channel& ch) {
    if (--xm(ch).keyOffCountdown != 0)
        return;
    xm(player).keyOff(xm(ch));
    ch.activeEffect = nullptr;
}

void xmSetEnvelopePositionRow(Player& player, Channel& channel, uint8_t param) {
    XmChannel& ch = xm(channel);
    if (!ch.instrument || ch.fadeVolume == 0)
        return;
    const XmEnvelope& envelope = ch.instrument->volumeEnvelope;
    restartEnvelope(ch.volumeEnvelope, envelope, EnvelopeFullVolume);
    for (uint32_t i = 0; i < param; ++i)
        stepEnvelope(envelope, ch.volumeEnvelope, true);
    // An envelope that ends here takes no step on the tick and would not send its value.
    player.changeFlags |= ChangeVolume;
}

void xmPanningSlideRow(Player&, Channel& ch, uint8_t param) {
    xm(ch).panningSlideStep = slideStep(remembered(param, xm(ch).panningSlideMemory));
    ch.activeEffect = &handlers::xmPanningSlide;
}

void xmPanningSlideStep(Player& player, Channel& ch) {
    ch.panning = static_cast<uint8_t>(std::clamp(ch.panning + xm(ch).panningSlideStep, 0, 255));
    player.changeFlags |= ChangePanning;
}

void xmMultiRetriggerRow(Player& player, Channel& channel, uint8_t param) {
    XmChannel& ch = xm(channel);
    uint8_t x = param >> 4;
    uint8_t y = param & 15;
    if (x == 0)
        x = ch.retrigMemory >> 4;
    // Without an interval of its own the running counter goes on.
    const bool restartCounter = y != 0;
    if (y == 0)
        y = ch.retrigMemory & 15;
    if (y == 0)
        return;
    const uint8_t p = static_cast<uint8_t>(x << 4 | y);
    ch.retrigMemory = p;
    retriggerVolumeSlideSetup(player, ch, p, restartCounter);
    ch.activeEffect = &handlers::xmMultiRetrigger;
    handlers::retriggerVolumeSlide.onTick(player, ch);
}

void xmMultiRetriggerStep(Player& player, Channel& ch) {
    handlers::retriggerVolumeSlide.onTick(player, ch);
}

// FastTracker 2 slides the pitch finely once on a row, however often a pattern delay plays it.
void xmExtraFinePortamentoRow(Player& player, Channel& channel, uint8_t param) {
    if (player.repeatingRow)
        return;
    XmChannel& ch = xm(channel);
    const uint8_t y = param & 15;
    switch (param >> 4) {
    case 0x1:
        ch.slideOffset -= remembered(y, ch.extraFinePortaUpMemory) & 15;
        break;
    case 0x2:
        ch.slideOffset += remembered(y, ch.extraFinePortaDownMemory) & 15;
        break;
    default:
        break;
    }
    player.changeFlags |= ChangePitch;
}

void xmTremorRow(Player&, Channel& channel, uint8_t param) {
    XmChannel& ch = xm(channel);
    if (param != 0)
        ch.tremorMemory = param;
    ch.activeEffect = &handlers::xmTremor;
}

// Audible for x + 1 ticks, silent for y + 1, counting the ticks after each row's first; a
// phase takes its length from the parameter in force when it begins.
void xmTremorStep(Player& player, Channel& channel) {
    XmChannel& ch = xm(channel);
    if (ch.tremorCountdown == 0) {
        ch.tremorOn ^= 1;
        ch.tremorCountdown =
            static_cast<uint8_t>((ch.tremorOn ? ch.tremorMemory >> 4 : ch.tremorMemory & 15) + 1);
    }
    --ch.tremorCountdown;
    ch.tremorMuted = ch.tremorOn == 0;
    player.changeFlags |= ChangeVolume;
}

} // namespace

namespace handlers {
const EffectPair xmArpeggio{xmArpeggioRow, xmArpeggioStep};
const EffectPair xmSampleOffset{xmSampleOffsetRow, nullptr};
const EffectPair xmPortamentoUp{xmPortamentoUpRow, xmPortamentoUpStep};
const EffectPair xmPortamentoDown{xmPortamentoDownRow, xmPortamentoDownStep};
const EffectPair xmTonePortamento{xmTonePortamentoRow, xmTonePortamentoStep};
const EffectPair xmTonePortamentoVolumeSlide{xmTonePortamentoVolumeSlideRow,
                                             xmTonePortamentoVolumeSlideStep};
const EffectPair xmVibrato{xmVibratoRow, xmVibratoStep};
const EffectPair xmVibratoVolumeSlide{xmVibratoVolumeSlideRow, xmVibratoVolumeSlideStep};
const EffectPair xmVolumeSlide{xmVolumeSlideRow, xmVolumeSlideStep};
const EffectPair xmExtendedCommand{xmExtendedCommandRow, nullptr};
const EffectPair xmSetGlobalVolume{xmSetGlobalVolumeRow, nullptr};
const EffectPair xmGlobalVolumeSlide{xmGlobalVolumeSlideRow, xmGlobalVolumeSlideStep};
const EffectPair xmKeyOffEffect{xmKeyOffEffectRow, xmKeyOffEffectStep};
const EffectPair xmSetEnvelopePosition{xmSetEnvelopePositionRow, nullptr};
const EffectPair xmPanningSlide{xmPanningSlideRow, xmPanningSlideStep};
const EffectPair xmMultiRetrigger{xmMultiRetriggerRow, xmMultiRetriggerStep};
const EffectPair xmExtraFinePortamento{xmExtraFinePortamentoRow, nullptr};
const EffectPair xmTremor{xmTremorRow, xmTremorStep};
} // namespace handlers

namespace {

const EffectHandler* const xmHandlers[XmEffectCount] = {
    &handlers::xmArpeggio,                  // 0
    &handlers::xmPortamentoUp,              // 1
    &handlers::xmPortamentoDown,            // 2
    &handlers::xmTonePortamento,            // 3
    &handlers::xmVibrato,                   // 4
    &handlers::xmTonePortamentoVolumeSlide, // 5
    &handlers::xmVibratoVolumeSlide,        // 6
    &handlers::tremolo,                     // 7
    &handlers::setPanning,                  // 8
    &handlers::xmSampleOffset,              // 9
    &handlers::xmVolumeSlide,               // A
    &handlers::positionJump,                // B
    &handlers::setChannelVolume,            // C
    &handlers::patternBreak,                // D
    &handlers::xmExtendedCommand,           // E
    &handlers::setSpeedTempo,               // F
    &handlers::xmSetGlobalVolume,           // G
    &handlers::xmGlobalVolumeSlide,         // H
    nullptr,                                // I
    nullptr,                                // J
    &handlers::xmKeyOffEffect,              // K
    &handlers::xmSetEnvelopePosition,       // L
    nullptr,                                // M
    nullptr,                                // N
    nullptr,                                // O
    &handlers::xmPanningSlide,              // P
    nullptr,                                // Q
    &handlers::xmMultiRetrigger,            // R
    nullptr,                                // S
    &handlers::xmTremor,                    // T
    nullptr,                                // U
    nullptr,                                // V
    nullptr,                                // W
    &handlers::xmExtraFinePortamento,       // X
    nullptr,                                // Y
    nullptr,                                // Z
};

} // namespace

const EffectTable xmEffects = {xmHandlers, XmEffectCount};

} // namespace tolva
