#include "formats/it/ItPitch.h"

#include "engine/PitchTables.h"
#include "formats/it/ItPlayer.h"

#include <algorithm>

namespace tolva {

namespace {

// Periods of the twelve notes of octave 0 for a sample of 8363 Hz, times 4.
constexpr uint32_t amigaPeriods[12] = {1712, 1616, 1524, 1440, 1356, 1280,
                                       1208, 1140, 1076, 1016, 960,  907};
constexpr uint64_t AmigaPeriodScale = 267616;
constexpr uint64_t AmigaClock = 938282582016ull; // 14317056 x 65536
// In hertz songs a period in whole units is this over the hertz it plays at (1712 x 8363).
constexpr int64_t HertzUnitClock = 14317456;
constexpr uint64_t HertzClock = uint64_t{HertzUnitClock} * AmigaSubunits;
constexpr int32_t MiddleC = 60;
constexpr int32_t LinearMiddleC = 3840;
constexpr int32_t LinearTop = 7680;
constexpr int32_t LinearUnitsPerNote = 64;
// ModPlug Tracker tunes its notes by the Amiga periods even with linear slides: the nearest
// linear units above each equal-tempered note, up to 3 (4 cents).
constexpr int32_t modPlugNoteUnits[12] = {0, 0, 1, 0, 2, 2, 2, 3, 3, 2, 1, 0};

} // namespace

uint32_t itPitchScale(uint32_t value, int32_t e) {
    if (e >= 0) {
        const uint32_t octaves = static_cast<uint32_t>(e) / PitchTableLength;
        if (octaves >= 32)
            return 0;
        const uint64_t scaled = (static_cast<uint64_t>(value) << octaves) *
                                pitchTable[static_cast<uint32_t>(e) % PitchTableLength];
        return (scaled >> 16) > UINT32_MAX ? 0 : static_cast<uint32_t>(scaled >> 16);
    }
    const uint32_t m = static_cast<uint32_t>(-static_cast<int64_t>(e));
    const uint32_t octaves = m / PitchTableLength;
    if (octaves >= 32)
        return 0;
    const uint64_t divisor = static_cast<uint64_t>(pitchTable[m % PitchTableLength]) << octaves;
    return static_cast<uint32_t>((static_cast<uint64_t>(value) << 16) / divisor);
}

int32_t itRateDistance(uint32_t from, uint32_t to) {
    // The last exponent that stays at or below `to`: results fall to 0 far below and overflow
    // to 0 far above.
    const auto below = [&](int32_t e) {
        const uint32_t v = itPitchScale(from, e);
        return e < 0 ? v <= to : v != 0 && v <= to;
    };
    int32_t lo = -32 * static_cast<int32_t>(PitchTableLength);
    int32_t hi = -lo;
    while (hi - lo > 1) {
        const int32_t mid = lo + (hi - lo) / 2;
        (below(mid) ? lo : hi) = mid;
    }
    const uint64_t under = to - itPitchScale(from, lo);
    const uint64_t over = uint64_t{itPitchScale(from, hi)} - to;
    return itPitchScale(from, hi) != 0 && over < under ? hi : lo;
}

bool itPitchInHertz(const ItHeader& header) {
    return !(header.flags & ItLinearSlides) && !header.fromModPlug() &&
           (header.createdWith >> 12) != 1;
}

ItVoiceModel::ItVoiceModel(ItPlayer& player) : VoiceModel(player), it_(player) {}

int32_t ItVoiceModel::noteToPeriod(Channel& channel, uint32_t note) {
    if (it_.hasFlag(ItLinearSlides)) {
        const int32_t period = LinearTop - LinearUnitsPerNote * static_cast<int32_t>(note);
        return it_.module.header.fromModPlug() ? period - modPlugNoteUnits[note % 12] : period;
    }
    const uint32_t rate = static_cast<ItChannel&>(channel).currentRate;
    if (!itPitchInHertz(it_.module.header)) {
        const uint32_t octave = note / 12;
        if (rate == 0 || octave >= 32)
            return 0;
        return static_cast<int32_t>(amigaPeriods[note % 12] * AmigaPeriodScale /
                                    (static_cast<uint64_t>(rate) << octave));
    }
    const int32_t semitones = static_cast<int32_t>(note) - MiddleC;
    const uint32_t hertz = itPitchScale(rate, semitones * LinearUnitsPerNote);
    if (hertz == 0)
        return 0;
    return static_cast<int32_t>(std::min(HertzClock / hertz, uint64_t{AmigaLongestPeriod}));
}

int32_t ItVoiceModel::slidePeriod(int32_t period, int32_t delta) {
    if (!itPitchInHertz(it_.module.header) || period <= 0)
        return period + delta;
    const int64_t hertz = static_cast<int64_t>(HertzClock / static_cast<uint64_t>(period));
    const int64_t divisor = HertzUnitClock + delta / AmigaSubunits * hertz;
    if (divisor <= 0)
        return 1;
    const uint64_t next = static_cast<uint64_t>(HertzUnitClock * hertz / divisor);
    return static_cast<int32_t>(next == 0
                                    ? uint64_t{AmigaLongestPeriod}
                                    : std::min(HertzClock / next, uint64_t{AmigaLongestPeriod}));
}

uint32_t ItVoiceModel::periodToFrequency(int32_t period, Channel& channel) {
    const ItChannel& ch = static_cast<ItChannel&>(channel);
    const ItEnvelopeState& pitch = ch.pitchEnvelopeState;
    const int32_t pitchOffset =
        (pitch.flags & ItEnvelopeFilter) || (pitch.flags & ItEnvelopeSwitchedOff)
            ? 0
            : pitch.value >> 8;
    const uint32_t rate = it_.mixer->mixingRate();
    if (it_.hasFlag(ItLinearSlides)) {
        // A rising offset raises the pitch, as it does with Amiga periods.
        const int32_t x = LinearMiddleC - (period - ch.autoVibratoOffset - pitchOffset);
        return linearStep(x, ch.currentRate, rate);
    }
    if (period <= 0 || rate == 0)
        return 0;
    const uint64_t f = itPitchInHertz(it_.module.header)
                           ? ((HertzClock / static_cast<uint64_t>(period)) << 16) / rate
                           : AmigaClock / (uint64_t{rate} * static_cast<uint32_t>(period));
    if (f > UINT32_MAX)
        return 0;
    return itPitchScale(static_cast<uint32_t>(f), ch.autoVibratoOffset + pitchOffset);
}

int32_t ItVoiceModel::mixerVolume(Channel& channel, int32_t volume) {
    const ItChannel& ch = static_cast<ItChannel&>(channel);
    const ItSample* s = static_cast<const ItSample*>(ch.sample);
    const uint64_t sampleVolume = s ? std::min<uint8_t>(s->globalVolume, 64) : 0;
    const uint64_t levels = uint64_t{std::min<uint8_t>(ch.channelVolume, 64)} *
                            it_.song.volumeScale * std::min<uint8_t>(it_.globalVolume, 128) *
                            sampleVolume *
                            static_cast<uint64_t>(std::clamp(volume - ch.volumeSwing, 0, 64));
    uint64_t result;
    if (!it_.instrumentMode()) {
        result = levels >> 24;
    } else {
        const ItEnvelopeState& envelope = ch.volumeEnvelopeState;
        const uint64_t instrumentVolume =
            ch.instrument ? std::min<uint8_t>(ch.instrument->globalVolume, 128) : 0;
        // An envelope switched off by an effect holds the value it had.
        const uint64_t envelopeValue =
            static_cast<uint64_t>(std::clamp(envelope.value, 0, ItFullVolumeEnvelope));
        const uint64_t shaping =
            std::min<uint64_t>(ch.fadeVolume, ItFullFade) * instrumentVolume * envelopeValue;
        result = (levels * shaping) >> 55;
    }
    return static_cast<int32_t>(std::min<uint64_t>(result, 128));
}

int32_t ItVoiceModel::mixerPanning(Channel& channel, int32_t pan) {
    const ItChannel& ch = static_cast<ItChannel&>(channel);
    if (!it_.hasFlag(ItStereo) || ch.surround)
        return 128;
    int32_t p = std::clamp(pan + ch.panOffset, 0, 255);
    if (it_.instrumentMode() && ch.instrument) {
        const ItEnvelopeState& envelope = ch.panEnvelopeState;
        const int32_t ep = (envelope.flags & ItEnvelopeSwitchedOff) ? 0 : envelope.value >> 8;
        const int32_t p1 = p + ch.pitchPanOffset;
        const int32_t d = p1 <= 128 ? 128 - p1 : p1 - 128;
        p = std::clamp(p1 + (((128 - d) * ep) >> 5), 0, 255);
    }
    return std::clamp(((it_.module.header.panSeparation * (p - 128)) >> 7) + 128, 0, 255);
}

} // namespace tolva
