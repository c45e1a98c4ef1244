#include "formats/xm/XmEffects.h"

#include "engine/ProTrackerEffects.h"
#include "engine/ScreamEffects.h"
#include "formats/xm/XmEnvelope.h"
#include "formats/xm/XmPlayer.h"

#include <algorithm>
#include <array>

namespace tolva {

namespace {

// The vibrato's ramp starts at 0 and lowers the pitch through its first half, then jumps to
// the top and falls back toward the note.
constexpr auto VibratoRamp = [] {
    std::array<int16_t, WaveformLength> t{};
    for (uint32_t p = 0; p < WaveformLength; ++p)
        t[p] = static_cast<int16_t>(p < 32 ? p * 8 : (p - 32) * 8 - 255);
    return t;
}();

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
    extendedCommandRow(player, ch, static_cast<uint8_t>(command << 4 | remembered(y, memory)));
}

// With n ticks left, n mod 3 chooses: 0 the note, 1 x, 2 y. Past the 15 entries of the
// tracker's table, 16 plays the note and anything longer y.
void xmArpeggioTick(Player& player, Channel& ch) {
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

// Picks its step from the ticks left in the row, as FastTracker 2 does. The first tick of a
// pattern-delay repeat counts as a later tick, with the full speed left.
void xmArpeggioRow(Player& player, Channel& ch, uint8_t param) {
    if (param == 0)
        return;
    ch.effectCounter = param >> 4;
    ch.effectReload = param & 15;
    ch.activeEffect = xmArpeggioTick;
    if (player.repeatingRow)
        xmArpeggioTick(player, ch);
}

// Acts, and remembers its parameter, only on a row that starts a note.
void xmSampleOffsetRow(Player& player, Channel& ch, uint8_t param) {
    if (player.changeFlags & ChangeStartNote)
        sampleOffsetRow(player, ch, param);
}

void xmPortamentoUpRow(Player& player, XmChannel& ch, uint8_t param) {
    const uint8_t p = remembered(param, ch.portaUpMemory);
    ch.portaTarget = player.song.minPeriod;
    ch.portaStep = p * player.quirks.slideUpUnit;
    ch.activeEffect = slideTick;
}

void xmPortamentoDownRow(Player& player, XmChannel& ch, uint8_t param) {
    const uint8_t p = remembered(param, ch.portaDownMemory);
    ch.portaTarget = player.song.maxPeriod;
    ch.portaStep = p * player.quirks.slideDownUnit;
    ch.activeEffect = slideTick;
}

void xmVolumeSlideRow(Player&, XmChannel& ch, uint8_t param) {
    volumeSlideSetup(ch, remembered(param, ch.xmVolumeSlideMemory));
    ch.activeEffect = volumeSlideTick;
}

// Under glissando the slide goes on unheard; the note nearest to it sounds.
void glide(Player& player, XmChannel& ch) {
    const int32_t slid = ch.period + ch.slideOffset;
    int32_t nearest = player.noteToPeriod(ch, 0);
    for (uint32_t note = 1; note < XmKeyOff; ++note) {
        const int32_t p = player.noteToPeriod(ch, note);
        if (std::abs(p - slid) < std::abs(nearest - slid))
            nearest = p;
    }
    ch.glissandoOffset = nearest - slid;
}

// The slide stops on its target, or jumps to it when it already lies behind; once there,
// FastTracker 2 turns the direction downwards in pitch, so that a later slide from below
// the target reaches it at once.
void xmTonePortamentoTick(Player& player, XmChannel& ch) {
    if (ch.period == 0)
        return;
    const int32_t next = ch.period + ch.slideOffset + ch.portaStep;
    if (ch.portaStep > 0 ? next >= ch.portaTarget : next <= ch.portaTarget) {
        ch.slideOffset = ch.portaTarget - ch.period;
        ch.portaStep = std::abs(ch.portaStep);
        ch.tonePortaDirection = 1;
    } else {
        ch.slideOffset = next - ch.period;
    }
    if (ch.glissando)
        glide(player, ch);
    player.changeFlags |= ChangePitch;
}

void xmTonePortamentoVolumeSlideTick(Player& player, XmChannel& ch) {
    volumeSlideTick(player, ch);
    xmTonePortamentoTick(player, ch);
}

void xmTonePortamentoVolumeSlideRow(Player& player, XmChannel& ch, uint8_t param) {
    xmVolumeSlideRow(player, ch, param);
    xmTonePortamentoRow(player, ch, 0);
    ch.activeEffect = asTick<xmTonePortamentoVolumeSlideTick>;
}

void xmVibratoRow(Player& player, Channel& ch, uint8_t param) {
    vibratoSetup(player, ch, param, XmVibratoDepthUnit);
}

void xmVibratoVolumeSlideRow(Player& player, XmChannel& ch, uint8_t param) {
    xmVolumeSlideRow(player, ch, param);
    vibratoSetup(player, ch, 0, XmVibratoDepthUnit);
    ch.activeEffect = vibratoVolumeSlideTick;
}

void xmExtendedCommandRow(XmPlayer& player, XmChannel& ch, uint8_t param) {
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
    case 0x3:
        ch.glissando = y != 0;
        break;
    case 0x4: {
        // Waveform 3 is the sine here, and the position always restarts with a new note.
        const uint8_t waveform = (y & 3) == 3 ? 0 : y & 3;
        extendedCommandRow(player, ch, static_cast<uint8_t>(0x40 | waveform));
        if (waveform == 1)
            ch.vibratoTable = VibratoRamp.data();
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
    case 0x6:
        // FastTracker 2 would go round a loop forever that comes back to where it was; the
        // song ends there, as other players end it.
        extendedCommandRow(player, ch, param);
        if ((player.changeFlags & ChangeLoopJump) && player.loopRepeats(ch))
            player.ended = true;
        break;
    case 0x9:
        // E90 restarts the note with the row's notes, which a pattern delay does not repeat.
        if (y != 0 || !player.repeatingRow)
            extendedCommandRow(player, ch, param);
        break;
    default:
        extendedCommandRow(player, ch, param);
        break;
    }
}

void xmSetGlobalVolumeRow(Player& player, Channel&, uint8_t param) {
    player.globalVolume = std::min<uint8_t>(param, 64);
    player.refreshVolumes();
}

void xmGlobalVolumeSlideTick(Player& player, Channel& ch) {
    player.globalVolume = limitVolume(player.globalVolume + ch.volumeSlideStep);
    player.refreshVolumes();
}

void xmGlobalVolumeSlideRow(Player&, XmChannel& ch, uint8_t param) {
    ch.volumeSlideStep = slideStep(remembered(param, ch.globalVolumeSlideMemory));
    ch.activeEffect = xmGlobalVolumeSlideTick;
}

void xmKeyOffEffectTick(XmPlayer& player, XmChannel& ch) {
    if (--ch.keyOffCountdown != 0)
        return;
    player.keyOff(ch);
    ch.activeEffect = nullptr;
}

void xmKeyOffEffectRow(XmPlayer& player, XmChannel& ch, uint8_t param) {
    if (param >= player.speed)
        return;
    if (param == 0) {
        player.keyOff(ch);
        return;
    }
    ch.keyOffCountdown = param;
    ch.activeEffect = asTick<xmKeyOffEffectTick>;
}

void xmSetEnvelopePositionRow(Player& player, XmChannel& ch, uint8_t param) {
    if (!ch.instrument || ch.fadeVolume == 0)
        return;
    const auto place = [param](XmEnvelopeState& state, const XmEnvelope& envelope,
                               uint16_t startValue) {
        restartEnvelope(state, envelope, startValue);
        for (uint32_t i = 0; i < param; ++i)
            stepEnvelope(envelope, state, true);
    };
    place(ch.volumeEnvelope, ch.instrument->volumeEnvelope, EnvelopeFullVolume);
    // FastTracker 2 places the panning envelope too, but only where the volume envelope has
    // its sustain switched on.
    if (ch.instrument->volumeEnvelope.type & EnvelopeSustain)
        place(ch.panningEnvelope, ch.instrument->panningEnvelope, EnvelopeCentre);
    // An envelope that ends here takes no step on the tick and would not send its value.
    player.changeFlags |= ChangeVolume | ChangePanning;
}

void xmPanningSlideTick(Player& player, XmChannel& ch) {
    ch.panning = static_cast<uint8_t>(std::clamp(ch.panning + ch.panningSlideStep, 0, 255));
    player.changeFlags |= ChangePanning;
}

void xmPanningSlideRow(Player&, XmChannel& ch, uint8_t param) {
    ch.panningSlideStep = slideStep(remembered(param, ch.panningSlideMemory));
    ch.activeEffect = asTick<xmPanningSlideTick>;
}

void xmMultiRetriggerRow(Player& player, XmChannel& ch, uint8_t param) {
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
    retriggerVolumeSlideTick(player, ch);
}

// FastTracker 2 slides the pitch finely once on a row, however often a pattern delay plays it.
// X6x, a fine pattern delay, adds its ticks to every repeat.
void xmExtraFinePortamentoRow(Player& player, XmChannel& ch, uint8_t param) {
    const uint8_t y = param & 15;
    if (param >> 4 == 0x6)
        player.rowExtraTicks = static_cast<uint16_t>(player.rowExtraTicks + y);
    if (player.repeatingRow)
        return;
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

// The tremolo's ramp reads the vibrato's position, as the tracker does: while that is in its
// first half, the swing grows from 0 through each half of the tremolo's cycle (up, then down);
// in its second, it shrinks toward 0 from the full depth.
void xmTremoloTick(Player& player, Channel& ch) {
    if (ch.tremoloTable != rampTable) {
        tremoloTick(player, ch);
        return;
    }
    const uint32_t position = ch.tremoloPosition;
    const int32_t rise = static_cast<int32_t>(position % 32) * 8;
    const int32_t swing = (ch.vibratoPosition >= 32 ? 255 - rise : rise) * ch.tremoloDepth >> 6;
    ch.tremoloOffset = static_cast<int8_t>(position >= 32 ? -swing : swing);
    ch.tremoloOffsetSaved = ch.tremoloOffset;
    ch.tremoloPosition = (position + ch.tremoloSpeed) % WaveformLength;
    player.changeFlags |= ChangeVolume;
}

void xmTremoloRow(Player& player, Channel& ch, uint8_t param) {
    tremoloRow(player, ch, param);
    if (ch.activeEffect == tremoloTick)
        ch.activeEffect = xmTremoloTick;
}

// Counts on across rows and notes; only an instrument number starts it afresh.
void xmTremorRow(Player&, XmChannel& ch, uint8_t param) {
    if (param != 0)
        ch.tremorMemory = param;
    ch.activeEffect = asTick<xmTremorTick>;
}

const EffectRow xmRows[XmEffectCount] = {
    xmArpeggioRow,                         // 0
    asRow<xmPortamentoUpRow>,              // 1
    asRow<xmPortamentoDownRow>,            // 2
    asRow<xmTonePortamentoRow>,            // 3
    xmVibratoRow,                          // 4
    asRow<xmTonePortamentoVolumeSlideRow>, // 5
    asRow<xmVibratoVolumeSlideRow>,        // 6
    xmTremoloRow,                          // 7
    setPanningRow,                         // 8
    xmSampleOffsetRow,                     // 9
    asRow<xmVolumeSlideRow>,               // A
    positionJumpRow,                       // B
    setChannelVolumeRow,                   // C
    patternBreakRow,                       // D
    asRow<xmExtendedCommandRow>,           // E
    setSpeedTempoRow,                      // F
    xmSetGlobalVolumeRow,                  // G
    asRow<xmGlobalVolumeSlideRow>,         // H
    nullptr,                               // I
    nullptr,                               // J
    asRow<xmKeyOffEffectRow>,              // K
    asRow<xmSetEnvelopePositionRow>,       // L
    nullptr,                               // M
    nullptr,                               // N
    nullptr,                               // O
    asRow<xmPanningSlideRow>,              // P
    nullptr,                               // Q
    asRow<xmMultiRetriggerRow>,            // R
    nullptr,                               // S
    asRow<xmTremorRow>,                    // T
    nullptr,                               // U
    nullptr,                               // V
    nullptr,                               // W
    asRow<xmExtraFinePortamentoRow>,       // X
    nullptr,                               // Y
    nullptr,                               // Z
};

} // namespace

void xmTonePortamentoRow(Player& player, XmChannel& ch, uint8_t param) {
    // A tone portamento in the volume column has set the speed.
    const bool volumeColumnSpeed = ch.volumeColumn >> 4 == 0xF;
    // The target is the last note given with a tone portamento: notes played without one
    // since, or delayed, do not move it. Only such a note chooses the direction; without one
    // the slide goes on the way it went.
    const bool hasNote = ch.cellNote < XmKeyOff && !isNoteDelayed(ch);
    const uint32_t note = hasNote ? ch.note : ch.portaNote;
    tonePortamentoSetup(player, ch, volumeColumnSpeed ? 0 : param, note);
    if (note == 0)
        return;
    ch.activeEffect = asTick<xmTonePortamentoTick>;
    if (hasNote)
        ch.tonePortaDirection = ch.portaStep > 0 ? 1 : -1;
    else
        ch.portaStep = std::abs(ch.portaStep) * ch.tonePortaDirection;
}

// Audible for x + 1 ticks, silent for y + 1, counting the ticks after each row's first; a
// phase takes its length from the parameter in force when it begins.
void xmTremorTick(Player& player, XmChannel& ch) {
    if (ch.tremorCountdown == 0) {
        ch.tremorOn ^= 1;
        ch.tremorCountdown =
            static_cast<uint8_t>((ch.tremorOn ? ch.tremorMemory >> 4 : ch.tremorMemory & 15) + 1);
    }
    --ch.tremorCountdown;
    ch.tremorMuted = ch.tremorOn == 0;
    player.changeFlags |= ChangeVolume;
}

const EffectTable xmEffects = xmRows;

} // namespace tolva
