#include "formats/s3m/S3mEffects.h"

#include "engine/Player.h"
#include "engine/ProTrackerEffects.h"
#include "engine/ScreamEffects.h"
#include "formats/s3m/S3mPlayer.h"

#include <algorithm>

namespace tolva {

namespace {

// The middle-C rates of the S2y command.
constexpr uint32_t tunedRates[16] = {7895, 7941, 7985, 8046, 8107, 8169, 8232, 8280,
                                     8363, 8413, 8463, 8529, 8581, 8651, 8723, 8757};

constexpr uint32_t SemitonesPerOctave = 12;

uint8_t withLastParam(const S3mChannel& ch, uint8_t param) {
    return param != 0 ? param : ch.s3mLastParam;
}

// Dxy with x = 15 or y = 15 (but not 0x0F or 0xF0): a single step on the row.
bool isFineVolumeSlide(uint8_t p) {
    return ((p & 15) == 15 && p != 0x0F) || ((p >> 4) == 15 && p != 0xF0);
}

// Per-tick amount of a normal slide: down by y when y is set, else up by x.
int8_t volumeSlideAmount(uint8_t p) {
    return static_cast<int8_t>((p & 15) != 0 ? -(p & 15) : p >> 4);
}

void addVolume(Player& player, Channel& ch, int32_t amount) {
    ch.volume = limitVolume(ch.volume + amount);
    player.changeFlags |= ChangeVolume;
}

// The row part of D, also that of K and L: a fine slide steps once and leaves no tick step;
// a normal slide sets the tick step, and D0F and DF0 (and with `fast` every slide) also step
// on the row's first tick, once even when both reasons apply. False for a fine slide.
bool volumeSlideRow(Player& player, Channel& ch, uint8_t p, bool fast) {
    if (isFineVolumeSlide(p)) {
        ch.volumeSlideStep = 0;
        if ((p & 15) == 15)
            addVolume(player, ch, p >> 4);
        else
            addVolume(player, ch, -(p & 15));
        return false;
    }
    ch.volumeSlideStep = volumeSlideAmount(p);
    if (fast || p == 0x0F || p == 0xF0)
        addVolume(player, ch, ch.volumeSlideStep);
    return true;
}

void setSpeedRow(Player& player, Channel&, uint8_t param) {
    if (param == 0)
        return;
    player.speed = param;
    player.tickCountdown = param;
}

void s3mVolumeSlideRow(S3mPlayer& player, S3mChannel& ch, uint8_t param) {
    const uint8_t p = withLastParam(ch, param);
    if (volumeSlideRow(player, ch, p, (player.s3mFlags & S3mFastVolumeSlides) != 0))
        ch.activeEffect = volumeSlideTick;
}

void s3mTonePortamentoRow(Player& player, Channel& ch, uint8_t param) {
    if (param != 0)
        ch.portaFineMemory = param;
    tonePortamentoSetupKeepingStart(player, ch, param);
}

void s3mArpeggioTick(Player& player, Channel& ch) {
    uint32_t octave = ch.note >> 8;
    uint32_t semitone = (ch.note & 15) + ch.effectCounter;
    octave += semitone / SemitonesPerOctave;
    semitone %= SemitonesPerOctave;
    const int32_t target = player.noteToPeriod(ch, octave << 8 | semitone);
    ch.arpeggioOffset = target - ch.slideOffset - ch.period;
    player.changeFlags |= ChangePitch;
    const uint8_t first = ch.effectCounter;
    ch.effectCounter = ch.effectReload;
    ch.effectReload = ch.effectExtra;
    ch.effectExtra = first;
}

void s3mArpeggioRow(Player& player, S3mChannel& ch, uint8_t param) {
    const uint8_t p = withLastParam(ch, param);
    ch.effectCounter = p >> 4;
    ch.effectReload = p & 15;
    ch.effectExtra = 0;
    ch.activeEffect = s3mArpeggioTick;
    ch.arpeggioOffset = -ch.slideOffset;
    player.changeFlags |= ChangePitch;
}

// The combined slides never slide on the row's first tick, and ignore fine parameters.
// K and L slide the volume as D does, except for the fast-slides step, and their vibrato or
// portamento goes on whatever the slide.
void s3mVibratoVolumeSlideRow(Player& player, S3mChannel& ch, uint8_t param) {
    volumeSlideRow(player, ch, withLastParam(ch, param), false);
    vibratoSetup(player, ch, 0);
    ch.activeEffect = vibratoVolumeSlideTick;
}

void s3mTonePortamentoVolumeSlideRow(Player& player, S3mChannel& ch, uint8_t param) {
    volumeSlideRow(player, ch, withLastParam(ch, param), false);
    tonePortamentoSetupKeepingStart(player, ch, 0);
    ch.activeEffect = tonePortamentoVolumeSlideTick;
}

// A cut note stays cut: only a new note brings the channel back.
void s3mRetriggerTick(Player& player, ScreamChannel& ch) {
    if (ch.period != 0)
        retriggerVolumeSlideTick(player, ch);
}

// A Q that follows a Q goes on counting the ticks since the last retrigger, against its own
// interval: its row's first tick counts too when the parameter is the same. A note starts the
// count again.
void s3mRetriggerRow(Player& player, S3mChannel& ch, uint8_t param) {
    const uint8_t p = withLastParam(ch, param);
    const bool same = p == ch.retrigMemory;
    const int32_t elapsed = ch.retrigReload - ch.retrigCounter;
    retriggerVolumeSlideSetup(player, ch, p, true);
    ch.activeEffect = asTick<s3mRetriggerTick>;
    if (ch.s3mPreviousCommand != S3mCommandQ || (player.changeFlags & ChangeStartNote))
        return;
    ch.retrigCounter = static_cast<uint8_t>(std::max(ch.retrigReload - elapsed, 0));
    if (same)
        s3mRetriggerTick(player, ch);
}

// SCx cuts the note as a cut in the note column does, leaving no period.
void s3mNoteCutTick(Player& player, Channel& ch) {
    if (--ch.effectCounter != 0)
        return;
    ch.period = 0;
    player.changeFlags |= ChangePitch;
}

void s3mSpecialRow(Player& player, S3mChannel& ch, uint8_t param) {
    const uint8_t p = withLastParam(ch, param);
    const uint8_t y = p & 15;
    uint8_t extended = 0;
    switch (p >> 4) {
    case 0x2:
        // The sample itself is retuned, for every later note on any channel.
        if (ch.sample)
            static_cast<S3mSample*>(ch.sample)->middleCRate = tunedRates[y];
        return;
    case 0x3:
        extended = 0x40; // vibrato waveform
        break;
    case 0x4:
        extended = 0x70; // tremolo waveform
        break;
    case 0x8:
        extended = 0x80; // panning
        break;
    case 0x6: // fine pattern delay
        player.rowExtraTicks = static_cast<uint16_t>(player.rowExtraTicks + y);
        return;
    case 0xB:
        // Scream Tracker keeps one loop start and count for all channels: they live in
        // channel 0's record.
        extendedCommandRow(player, player.channel(0), static_cast<uint8_t>(0x60 | y));
        return;
    case 0xC:
        if (y != 0) {
            ch.effectCounter = y;
            ch.activeEffect = s3mNoteCutTick;
            return;
        }
        extended = 0xC0;
        break;
    case 0xD:
    case 0xE:
        extended = static_cast<uint8_t>(p & 0xF0); // note delay, pattern delay
        break;
    default:
        return;
    }
    extendedCommandRow(player, ch, static_cast<uint8_t>(extended | y));
}

// A quarter of H's depth.
void fineVibratoRow(Player& player, Channel& ch, uint8_t param) {
    vibratoSetup(player, ch, param, player.quirks.slideUpUnit / 4);
}

// The parameter spans half the panning range; larger ones are not positions.
// Xxx: 00 left .. 80 right.
void s3mSetPanningRow(Player& player, Channel& ch, uint8_t param) {
    if (param <= 0x80)
        setPanning(player, ch, static_cast<uint8_t>(std::min(param * 2, 255)));
}

void setGlobalVolumeRow(Player& player, Channel&, uint8_t param) {
    player.globalVolume = std::min<uint8_t>(param, 64);
    player.refreshVolumes();
}

// Commands without parameter memory of their own take the channel's last non-zero parameter.
template <auto shared> void withLastParamRow(Player& player, S3mChannel& ch, uint8_t param) {
    shared(player, ch, withLastParam(ch, param));
}

const EffectRow s3mRows[25] = {
    nullptr,
    setSpeedRow,                                    // A
    positionJumpRow,                                // B
    patternBreakRow,                                // C
    asRow<s3mVolumeSlideRow>,                       // D
    asRow<withLastParamRow<finePortamentoDownRow>>, // E
    asRow<withLastParamRow<finePortamentoUpRow>>,   // F
    s3mTonePortamentoRow,                           // G
    vibratoRow,                                     // H
    asRow<withLastParamRow<tremorRow>>,             // I
    asRow<s3mArpeggioRow>,                          // J
    asRow<s3mVibratoVolumeSlideRow>,                // K
    asRow<s3mTonePortamentoVolumeSlideRow>,         // L
    nullptr,                                        // M
    nullptr,                                        // N
    sampleOffsetRow,                                // O
    nullptr,                                        // P
    asRow<s3mRetriggerRow>,                         // Q
    asRow<withLastParamRow<tremoloRow>>,            // R
    asRow<s3mSpecialRow>,                           // S
    setSpeedTempoRow,                               // T
    fineVibratoRow,                                 // U
    setGlobalVolumeRow,                             // V
    nullptr,                                        // W
    s3mSetPanningRow,                               // X
};

} // namespace

const EffectTable s3mEffects = s3mRows;

} // namespace tolva
