#pragma once
#include "engine/BasicSongInfo.h"
#include "engine/Player.h"

#include <array>
#include <cstdint>

namespace tolva {

constexpr uint32_t S3mMaxChannels = 32;
constexpr uint32_t S3mMaxSamples = 99;
constexpr uint32_t S3mRows = 64;
constexpr uint32_t S3mMemorySlots = 32;

// Bits of a packed cell's leading byte; the low five bits name the channel.
enum : uint8_t {
    S3mChannelMask = 0x1F,
    S3mHasNote = 0x20,    // note and instrument bytes follow
    S3mHasVolume = 0x40,  // a volume byte follows
    S3mHasCommand = 0x80, // command and parameter bytes follow
};

enum : uint8_t {
    S3mNoteCut = 254,
    S3mNoNote = 255,
    S3mNoVolume = 255,
};

enum : uint16_t {
    S3mAmigaLimits = 0x10,
    S3mFastVolumeSlides = 0x40,
};

// Command numbers as stored (A = 1); the effect table and the cell reader test these.
enum : uint8_t {
    S3mCommandD = 4,
    S3mCommandE = 5,
    S3mCommandF = 6,
    S3mCommandG = 7,
    S3mCommandK = 11,
    S3mCommandL = 12,
    S3mCommandQ = 17,
    S3mCommandS = 19,
};

struct S3mChannel : ScreamChannel {
    uint8_t s3mVolume = S3mNoVolume; // the cell's volume byte
    uint8_t s3mWhat = 0;             // the cell's leading byte
    uint8_t s3mLastParam = 0;        // what a zero parameter of the cell's command recalls
    std::array<uint8_t, S3mMemorySlots> paramMemory{}; // last non-zero parameters, by memorySlot
    uint8_t s3mPreviousCommand = 0;                    // command of the row before
    uint32_t s3mStartOffset = 0; // where the last note of a cell started in its sample
    bool s3mCellNote = false;    // the voice start to come is a cell's note, no retrigger
};

struct S3mSample : Sample {
    uint32_t middleCRate = 0; // Hz of C-4; 0 plays nothing
    char fileName[13] = {};
};

class S3mPlayer;

// Scream Tracker's periods, scaled by each sample's rate, and its levels: the global volume
// and the mono switch.
class S3mVoiceModel : public VoiceModel {
public:
    explicit S3mVoiceModel(S3mPlayer& player);
    int32_t noteToPeriod(Channel& channel, uint32_t note) override;
    uint32_t periodToFrequency(int32_t period, Channel& channel) override;
    int32_t mixerVolume(Channel& channel, int32_t volume) override;
    int32_t mixerPanning(Channel& channel, int32_t panning) override;

private:
    S3mPlayer& s3m_;
};

// Plays what loadS3m stored: packed rows in the song's pattern table, notes tuned by each
// sample's middle-C rate, the S3M command set.
class S3mPlayer : public Player, public BasicSongInfo {
public:
    explicit S3mPlayer(Mixer* mixer);
    ~S3mPlayer() override;
    SongInfo& info() override { return *this; }

    void resetChannels() override;
    bool fillVoiceStart(uint32_t voice, const void* request, VoiceStart& out) override;
    bool enterPattern(uint32_t pattern) override;
    bool readCell(uint32_t channelIndex) override;
    void triggerNote(Channel& channel) override;
    uint32_t formatType() override;
    void describeSample(SampleDescription& out, uint32_t index, uint32_t instrument) override;
    void describeSong(SongDescription& out) override;
    bool writePatternText(const PatternDescription& pattern, uint32_t channelCount,
                          CellText* out) override;

    // The S3M channel that player channel `index` plays.
    uint32_t s3mChannelOf(uint32_t index) const;
    // Impulse Tracker plays the S3M files it saved at exact pitch, not by Scream Tracker's
    // period table; their periods count sixteenths of a unit, so each note keeps its own pitch
    // while slides and vibrato move by the usual amounts. Call after the period limits are set.
    void useExactPitch();
    // Scream Tracker keeps one parameter memory for all commands; Impulse Tracker and Schism
    // Tracker play the S3M files they saved with one per command, D, K and L sharing one as E
    // and F do.
    uint32_t memorySlot(uint8_t command) const;

    std::array<uint8_t, S3mMaxChannels> channelPan{};
    std::array<bool, S3mMaxChannels> channelDisabled{};
    std::array<bool, S3mMaxChannels> channelUsed{};
    uint16_t s3mFlags = 0;
    uint32_t periodShift = 0; // 4 with exact pitch
    bool separateMemories = false;
    bool mono = false;
    std::array<S3mChannel, S3mMaxChannels> channels;
    std::array<S3mSample, S3mMaxSamples> samples;

private:
    // Moves the row reader past the rest of the row and its terminating 0 byte.
    void finishRow();
    void restartEndedSample(S3mChannel& channel);

    S3mVoiceModel model_{*this};
    const uint8_t* rowReader_ = nullptr;
    const uint8_t* patternEnd_ = nullptr;
    uint32_t rowChannel_ = 0;
};

// The cell texts of an S3M pattern; `columnChannel` names the stored channel each column shows
// (null: column c shows channel c), as the song may store channels that are not played.
void writeS3mPatternText(const PatternDescription& pattern, uint32_t channelCount, CellText* out,
                         const uint8_t* columnChannel = nullptr);

} // namespace tolva
