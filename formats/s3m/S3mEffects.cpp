#include "formats/s3m/S3mEffects.h"

#include "engine/Player.h"
#include "engine/ProTrackerEffects.h"
#include "engine/ScreamEffects.h"
#include "formats/s3m/S3mPlayer.h"

#include <algorithm>

namespace tolva {

namespace {

const WithLastParam finePortamentoDown{handlers::finePortamentoDown};
const WithLastParam finePortamentoUp{handlers::finePortamentoUp};
const WithLastParam tremor{handlers::tremor};
const WithLastParam tremolo{handlers::tremolo};
const SetSpeed setSpeed;
const S3mVolumeSlide volumeSlide;
const S3mTonePortamento tonePortamento;
const S3mArpeggio arpeggio;
const S3mVibratoVolumeSlide vibratoVolumeSlide;
const S3mTonePortamentoVolumeSlide tonePortamentoVolumeSlide;
const S3mRetrigger retrigger;
const S3mSpecial special;
const FineVibrato fineVibrato;
const SetGlobalVolume setGlobalVolume;
const S3mSetPanning panningFromHalfRange;

const EffectHandler* const s3mHandlers[25] = {
    nullptr,
    &setSpeed,                  // A
    &handlers::positionJump,    // B
    &handlers::patternBreak,    // C
    &volumeSlide,               // D
    &finePortamentoDown,        // E
    &finePortamentoUp,          // F
    &tonePortamento,            // G
    &handlers::vibrato,         // H
    &tremor,                    // I
    &arpeggio,                  // J
    &vibratoVolumeSlide,        // K
    &tonePortamentoVolumeSlide, // L
    nullptr,                    // M
    nullptr,                    // N
    &handlers::sampleOffset,    // O
    nullptr,                    // P
    &retrigger,                 // Q
    &tremolo,                   // R
    &special,                   // S
    &handlers::setSpeedTempo,   // T
    &fineVibrato,               // U
    &setGlobalVolume,           // V
    nullptr,                    // W
    &panningFromHalfRange,      // X
};

// The middle-C rates of the S2y command.
constexpr uint32_t tunedRates[16] = {7895, 7941, 7985, 8046, 8107, 8169, 8232, 8280,
                                     8363, 8413, 8463, 8529, 8581, 8651, 8723, 8757};

constexpr uint32_t SemitonesPerOctave = 12;

uint8_t withLastParam(Channel& ch, uint8_t param) {
    return param != 0 ? param : static_cast<S3mChannel&>(ch).s3mLastParam;
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

} // namespace

const EffectTable s3mEffects = {s3mHandlers, 25};

void WithLastParam::onRow(Player& player, Channel& ch, uint8_t param) const {
    inner_.onRow(player, ch, withLastParam(ch, param));
}

void SetSpeed::onRow(Player& player, Channel&, uint8_t param) const {
    if (param == 0)
        return;
    player.speed = param;
    player.tickCountdown = param;
}

void S3mVolumeSlide::onRow(Player& player, Channel& ch, uint8_t param) const {
    const uint8_t p = withLastParam(ch, param);
    const bool fast = (static_cast<S3mPlayer&>(player).s3mFlags & S3mFastVolumeSlides) != 0;
    if (volumeSlideRow(player, ch, p, fast))
        ch.activeEffect = this;
}

void S3mVolumeSlide::onTick(Player& player, Channel& ch) const {
    volumeSlideTick(player, ch);
}

void S3mTonePortamento::onRow(Player& player, Channel& ch, uint8_t param) const {
    if (param != 0)
        ch.portaFineMemory = param;
    tonePortamentoSetup(player, ch, param);
}

void S3mArpeggio::onRow(Player& player, Channel& ch, uint8_t param) const {
    const uint8_t p = withLastParam(ch, param);
    ch.effectCounter = p >> 4;
    ch.effectReload = p & 15;
    ch.effectExtra = 0;
    ch.activeEffect = this;
    ch.arpeggioOffset = -ch.slideOffset;
    player.changeFlags |= ChangePitch;
}

void S3mArpeggio::onTick(Player& player, Channel& ch) const {
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

// The combined slides never slide on the row's first tick, and ignore fine parameters.
// K and L slide the volume as D does, except for the fast-slides step, and their vibrato or
// portamento goes on whatever the slide.
void S3mVibratoVolumeSlide::onRow(Player& player, Channel& ch, uint8_t param) const {
    volumeSlideRow(player, ch, withLastParam(ch, param), false);
    vibratoSetup(player, ch, 0);
    ch.activeEffect = &handlers::vibratoVolumeSlide;
}

void S3mTonePortamentoVolumeSlide::onRow(Player& player, Channel& ch, uint8_t param) const {
    volumeSlideRow(player, ch, withLastParam(ch, param), false);
    tonePortamentoSetup(player, ch, 0);
    ch.activeEffect = &handlers::tonePortamentoVolumeSlide;
}

// A Q that follows a Q keeps its counter running across the row boundary.
void S3mRetrigger::onRow(Player& player, Channel& channel, uint8_t param) const {
    S3mChannel& ch = static_cast<S3mChannel&>(channel);
    const bool follows = ch.s3mPreviousCommand == S3mCommandQ;
    retriggerVolumeSlideSetup(player, ch, withLastParam(ch, param), !(follows && param == 0));
    if (follows)
        handlers::retriggerVolumeSlide.onTick(player, ch);
}

void S3mSpecial::onRow(Player& player, Channel& ch, uint8_t param) const {
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
    case 0xB:
        extended = 0x60; // pattern loop
        break;
    case 0xC:
    case 0xD:
    case 0xE:
        extended = static_cast<uint8_t>(p & 0xF0); // note cut, note delay, pattern delay
        break;
    default:
        return;
    }
    handlers::extendedCommand.onRow(player, ch, static_cast<uint8_t>(extended | y));
}

void FineVibrato::onRow(Player& player, Channel& ch, uint8_t param) const {
    vibratoSetup(player, ch, param, 1);
}

// The parameter spans half the panning range; larger ones are not positions.
void S3mSetPanning::onRow(Player& player, Channel& ch, uint8_t param) const {
    if (param <= 0x80)
        tolva::setPanning(player, ch, static_cast<uint8_t>(std::min(param * 2, 255)));
}

void SetGlobalVolume::onRow(Player& player, Channel&, uint8_t param) const {
    player.globalVolume = std::min<uint8_t>(param, 64);
    player.refreshVolumes();
}

} // namespace tolva
