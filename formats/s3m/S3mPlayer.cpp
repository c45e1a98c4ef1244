#include "formats/s3m/S3mPlayer.h"

#include "engine/PitchTables.h"
#include "formats/s3m/S3mEffects.h"

#include <algorithm>
#include <cstring>

namespace tolva {

namespace {

// G and L slide to the cell's note instead of starting it.
bool slidesToNote(const S3mChannel& ch) {
    return ch.cellEffect == S3mCommandG || ch.cellEffect == S3mCommandL;
}

// Periods of octave 0 by semitone; a sample's middle-C rate scales them.
constexpr uint32_t octavePeriods[12] = {1712, 1616, 1524, 1440, 1356, 1280,
                                        1208, 1140, 1076, 1016, 960,  907};
constexpr uint64_t PeriodScale = 267616;
constexpr uint64_t StepClock = 938282582016ull; // 14317456 Hz as 16.16
constexpr int32_t LowestPeriod = 28;            // shorter periods are silent
constexpr uint32_t SemitonesPerOctave = 12;
constexpr uint32_t MiddleCOctave = 4;
constexpr uint32_t ExactPitchShift = 4;
constexpr uint64_t PeriodClock = 14317456; // period x Hz

// Bytes that follow a cell's leading byte.
uint32_t cellPayload(uint8_t what) {
    return ((what & S3mHasNote) ? 2u : 0u) + ((what & S3mHasVolume) ? 1u : 0u) +
           ((what & S3mHasCommand) ? 2u : 0u);
}

} // namespace

S3mPlayer::S3mPlayer(Mixer* mixer) : Player(mixer), BasicSongInfo(static_cast<Player&>(*this)) {
    channels_.show(channels);
    samples_.show(samples);
    voiceModel_ = &model_;
    quirks = {
        .slideUpUnit = -4,
        .slideDownUnit = 4,
        .tremoloShift = 1,
        .vibratoPhase = WaveformLength / 2,
        .vibratoTowardZero = true,
        .vibratoOnRow = VibratoAtPosition,
        .noteCutStopsVoice = true,
        .offsetPastLoopEndLoops = true,
        .laterChannelDecides = false,
        .finetuneOnChannel = false,
        .proTrackerOptions = false,
    };
    effects = s3mEffects;
}

S3mPlayer::~S3mPlayer() {
    releaseAllSamples();
}

void S3mPlayer::resetChannels() {
    // The S3M parts too: a rewound song must not remember the parameters of the last run.
    for (S3mChannel& ch : channels)
        ch = S3mChannel{};
    Player::resetChannels();
}

bool S3mPlayer::fillVoiceStart(uint32_t voice, const void* request, VoiceStart& out) {
    auto& ch = static_cast<S3mChannel&>(*static_cast<const VoiceRequest*>(request)->channel);
    if (ch.s3mCellNote)
        ch.s3mStartOffset = ch.sampleOffset;
    ch.s3mCellNote = false;
    return Player::fillVoiceStart(voice, request, out);
}

void S3mPlayer::useExactPitch() {
    periodShift = ExactPitchShift;
    quirks.slideUpUnit *= 1 << periodShift;
    quirks.slideDownUnit *= 1 << periodShift;
    song.maxPeriod *= 1 << periodShift;
    song.minPeriod *= 1 << periodShift;
}

uint32_t S3mPlayer::memorySlot(uint8_t command) const {
    if (!separateMemories)
        return 0;
    if (command == S3mCommandK || command == S3mCommandL)
        return S3mCommandD;
    if (command == S3mCommandF)
        return S3mCommandE;
    return std::min<uint32_t>(command, S3mMemorySlots - 1);
}

uint32_t S3mPlayer::s3mChannelOf(uint32_t index) const {
    uint32_t seen = 0;
    for (uint32_t c = 0; c < S3mMaxChannels; ++c)
        if (channelUsed[c] && seen++ == index)
            return c;
    return 0;
}

void S3mPlayer::finishRow() {
    while (rowReader_ < patternEnd_ && *rowReader_ != 0) {
        const uint32_t payload = cellPayload(*rowReader_);
        if (patternEnd_ - rowReader_ <= static_cast<std::ptrdiff_t>(payload)) {
            rowReader_ = patternEnd_;
            break;
        }
        rowReader_ += 1 + payload;
    }
    if (rowReader_ < patternEnd_)
        ++rowReader_;
    rowChannel_ = 0;
}

bool S3mPlayer::enterPattern(uint32_t pattern) {
    rowReader_ = patternEnd_ = nullptr;
    rowChannel_ = 0;
    if (isPatternMissing(pattern))
        return false;
    const auto& data = song.patterns[pattern];
    rowReader_ = data.data();
    patternEnd_ = data.data() + data.size();
    for (uint32_t row = 0; row < nextRow; ++row)
        finishRow();
    return true;
}

bool S3mPlayer::readCell(uint32_t channelIndex) {
    S3mChannel& ch = channels[channelIndex % S3mMaxChannels];
    ch.s3mPreviousCommand = static_cast<uint8_t>(ch.cellEffect);
    ch.cellEffect = -1;
    ch.s3mWhat = 0;
    if (changeFlags & ChangeNoPatternData)
        return false;
    while (rowChannel_ < S3mMaxChannels && !channelUsed[rowChannel_])
        ++rowChannel_;

    bool stored = false;
    if (rowReader_ < patternEnd_ && *rowReader_ != 0 &&
        (*rowReader_ & S3mChannelMask) == rowChannel_) {
        const uint8_t what = *rowReader_;
        const uint32_t payload = cellPayload(what);
        if (patternEnd_ - rowReader_ <= static_cast<std::ptrdiff_t>(payload)) {
            rowReader_ = patternEnd_; // a cell cut off by the end of the data
        } else {
            const uint8_t* p = rowReader_ + 1;
            rowReader_ += 1 + payload;
            if (!channelDisabled[rowChannel_]) {
                ch.s3mWhat = what;
                if (what & S3mHasNote) {
                    ch.cellNote = p[0];
                    ch.cellInstrument = p[1];
                    p += 2;
                }
                if (what & S3mHasVolume)
                    ch.s3mVolume = *p++;
                if (what & S3mHasCommand) {
                    ch.cellEffect = static_cast<int8_t>(p[0]);
                    ch.cellParam = p[1];
                    uint8_t& memory = ch.paramMemory[memorySlot(p[0])];
                    if (p[1] != 0)
                        memory = p[1];
                    ch.s3mLastParam = memory;
                }
                stored = true;
            }
        }
    }
    ++rowChannel_;
    if (channelIndex + 1 >= song.channelCount)
        finishRow();
    // A delayed note (SDx) waits for the note-delay effect.
    const bool delayed =
        ch.cellEffect == S3mCommandS && ch.cellParam >= 0xD1 && ch.cellParam <= 0xDF;
    return stored && !delayed;
}

void S3mPlayer::triggerNote(Channel& channel) {
    S3mChannel& ch = static_cast<S3mChannel&>(channel);
    if (ch.s3mWhat & S3mHasNote) {
        const uint8_t n = ch.cellNote;
        if (n == S3mNoteCut) {
            ch.period = 0;
            changeFlags |= ChangePitch;
        } else if (n < S3mNoteCut && (n & 15) < SemitonesPerOctave) {
            ch.note = static_cast<uint32_t>(n >> 4) << 8 | (n & 15u);
            // The tone portamentos slide to the note instead of starting it, unless the
            // channel has no note to slide from.
            if (!slidesToNote(ch) || ch.period == 0) {
                changeFlags |= ChangeStartNote;
                // Without an instrument number the note starts where the last one did, so a
                // sample offset goes on serving until an instrument is named again.
                if (ch.cellInstrument == 0)
                    ch.sampleOffset = ch.s3mStartOffset;
                ch.s3mCellNote = true;
            }
        }
        if (ch.cellInstrument != 0) {
            Sample* s = sample(ch.cellInstrument - 1u);
            if (s && s->present) {
                ch.sample = s;
                ch.volume = s->volume;
                ch.finetune = static_cast<uint8_t>(s->finetune);
                changeFlags |= ChangeVolume;
                restartEndedSample(ch);
            }
        }
    }
    if ((ch.s3mWhat & S3mHasVolume) && ch.s3mVolume < S3mNoVolume) {
        ch.volume = ch.s3mVolume;
        changeFlags |= ChangeVolume;
    }
}

// A tone portamento with an instrument number plays the sample again from its start when it
// has ended, at the pitch the slide has reached.
void S3mPlayer::restartEndedSample(S3mChannel& ch) {
    const auto voice = static_cast<uint32_t>(&ch - channels.data());
    if (!slidesToNote(ch) || ch.cellNote >= S3mNoteCut || (changeFlags & ChangeStartNote) ||
        ch.period == 0 || (mixer->voiceFlags(voice) & VoiceActive))
        return;
    VoiceRequest request{&ch, this};
    mixer->startVoice(voice, &request);
    changeFlags |= ChangePitch;
}

S3mVoiceModel::S3mVoiceModel(S3mPlayer& player) : VoiceModel(player), s3m_(player) {}

int32_t S3mVoiceModel::noteToPeriod(Channel& ch, uint32_t note) {
    const uint32_t periodShift = s3m_.periodShift;
    const auto* s = static_cast<const S3mSample*>(ch.sample);
    const uint32_t semitone = note & 15;
    const uint32_t octave = note >> 8;
    // Without a rate there is nothing to divide by: such a sample stays silent.
    if (!s || s->middleCRate == 0 || semitone >= SemitonesPerOctave || octave > 30)
        return 0;
    // Scream Tracker truncates, and plays no note below its lowest pitch.
    if (periodShift == 0)
        return static_cast<int32_t>(std::min<uint64_t>(
            octavePeriods[semitone] * PeriodScale / s->middleCRate >> (octave + 1),
            static_cast<uint64_t>(s3m_.song.maxPeriod)));
    // Whole hertz, as Impulse Tracker keeps them.
    const uint64_t scaled =
        uint64_t{s->middleCRate} * pitchTable[semitone * PitchTableLength / SemitonesPerOctave]
        << octave;
    const uint64_t hertz = scaled >> (16 + MiddleCOctave);
    if (hertz == 0)
        return 0;
    const uint64_t clock = PeriodClock << periodShift;
    return static_cast<int32_t>(std::min<uint64_t>((clock + hertz / 2) / hertz, 0x7FFFFFFF));
}

int32_t S3mVoiceModel::mixerVolume(Channel&, int32_t volume) {
    return (s3m_.song.volumeScale * s3m_.globalVolume * volume) >> 11;
}

int32_t S3mVoiceModel::mixerPanning(Channel&, int32_t panning) {
    return s3m_.mono ? 0x80 : panning;
}

uint32_t S3mVoiceModel::periodToFrequency(int32_t period, Channel&) {
    const uint32_t periodShift = s3m_.periodShift;
    if (period < LowestPeriod << periodShift)
        return 0;
    const uint64_t divisor = static_cast<uint64_t>(s3m_.mixer->mixingRate()) * period;
    if (divisor == 0)
        return 0;
    return static_cast<uint32_t>(
        std::min<uint64_t>((StepClock << periodShift) / divisor, 0xFFFFFFFF));
}

uint32_t S3mPlayer::formatType() {
    return FormatS3m;
}

void S3mPlayer::describeSample(SampleDescription& out, uint32_t index, uint32_t instrument) {
    BasicSongInfo::describeSample(out, index, instrument);
    if (index >= S3mMaxSamples || !sample(index))
        return;
    const S3mSample& s = samples[index];
    out.fieldMask |= SampleFieldFileName;
    std::memcpy(out.fileName, s.fileName, sizeof out.fileName);
    out.fileName[sizeof out.fileName - 1] = '\0';
    out.referenceRate = s.middleCRate;
    out.referenceOctave = MiddleCOctave;
}

void S3mPlayer::describeSong(SongDescription& out) {
    BasicSongInfo::describeSong(out);
    const uint32_t count = std::min<uint32_t>(song.channelCount, S3mMaxChannels);
    for (uint32_t k = 0; k < count; ++k)
        out.channelDisabled[k] = channelDisabled[s3mChannelOf(k)] ? 1 : 0;
}

} // namespace tolva
