#pragma once
#include "engine/Channel.h"
#include "engine/Effect.h"
#include "engine/FormatId.h"
#include "engine/FormatQuirks.h"
#include "engine/LoopPositions.h"
#include "engine/Random.h"
#include "engine/SongInfo.h"
#include "engine/VoiceModel.h"
#include "mixer/Mixer.h"
#include "platform/HeapObject.h"
#include "song/Sample.h"
#include "song/Song.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>

namespace tolva {

class InputStream;

// Pending changes. The channel bits (up to ChangeStopVoice) describe the channel being processed
// and are cleared by its commit; the others concern the whole player.
enum : uint32_t {
    ChangeVolume = 0x01,
    ChangePitch = 0x02,
    ChangePanning = 0x04,
    ChangeFormatState = 0x08,
    ChangeSurround = 0x10,
    ChangeStartNote = 0x20,
    ChangeStopVoice = 0x40,
    ChangeTempo = 0x80,
    ChangeJumpPending = 0x100,
    ChangeLoopJump = 0x200,
    ChangeNoPatternData = 0x400,
    ChangeJumpInLoop = 0x800, // a break or jump while a loop counts: it leads to the loop's rows
    ChangeChannelBits = 0x7F,
};

enum : uint32_t {
    SongNoBackwardJumps = 0x04,
    SongSkipTrailingEmpty = 0x08,
    // A song that ends goes on from its restart position, or from its start when it has none
    // (asked for by a caller who wants it repeated).
    SongRestartsAtEnd = 0x10,
};

constexpr uint32_t NoLoopLimit = 0xFFFFFFFFu;
constexpr uint32_t PositionCount = 65536; // order index x 256 + row
constexpr uint32_t CreatorTextSize = 64;

// The records of an array whose elements derive from T, reached as T by index: a format's
// own channel or sample array seen by the shared player.
template <class T> class RecordView {
public:
    template <class Derived, std::size_t N> void show(std::array<Derived, N>& records) {
        first_ = reinterpret_cast<unsigned char*>(static_cast<T*>(records.data()));
        stride_ = sizeof(Derived);
        count_ = N;
    }
    uint32_t size() const { return count_; }
    T& operator[](uint32_t index) const {
        return *reinterpret_cast<T*>(first_ + std::size_t{index} * stride_);
    }

private:
    unsigned char* first_ = nullptr;
    std::size_t stride_ = 0;
    uint32_t count_ = 0;
};

// What a player passes through Mixer::startVoice to its own fillVoiceStart.
struct VoiceRequest {
    Channel* channel;
    class Player* player;
};

// Base of every format player: the song, the sequencer (orders, rows, ticks) and the
// ProTracker behaviour. A format differs in its row and tick work (the virtual functions
// here), its pitch and levels (a VoiceModel), its rules (FormatQuirks) and its song's facts
// (Song). The mixer drives it: onTick once per tick, fillVoiceStart whenever a voice starts.
class Player : public TickListener, public MixerOwner, public HeapObject {
public:
    // Registers the player as the mixer's owner; without a mixer it runs against its own that
    // does nothing (information-only and trial loads).
    explicit Player(Mixer* mixer);
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    bool isEnded() override;
    bool fillVoiceStart(uint32_t voice, const void* request, VoiceStart& out) override;
    virtual void resetChannels();
    // Channel records wrap round the format's array.
    Channel& channel(uint32_t index) { return channels_[index % channels_.size()]; }
    // Null for an index the song does not have.
    Sample* sample(uint32_t index) {
        return index < std::min(song.sampleCount, samples_.size()) ? &samples_[index] : nullptr;
    }
    // Points the row reader at row nextRow; false when the pattern has no data.
    virtual bool enterPattern(uint32_t pattern) = 0;
    virtual bool isPatternMissing(uint32_t pattern);
    // Decodes the channel's next cell; true when its note is to start on this tick.
    virtual bool readCell(uint32_t channelIndex) = 0;
    virtual void triggerNote(Channel& channel);
    virtual void startEffect(Channel& channel);
    virtual void continueEffect(Channel& channel);
    virtual void resetRowModulation(Channel& channel);
    virtual void processRow(bool isNewRow);
    virtual void processTick();
    // Derived destructors release the sample data (releaseAllSamples) while sample() works.
    virtual ~Player();
    // What the dialogs and the tool show about the song, answered by its format.
    virtual SongInfo& info() = 0;

    bool onTick(uint32_t slotIndex, uint32_t framesRendered) override;

    // The format's pitch and levels (VoiceModel).
    int32_t noteToPeriod(Channel& channel, uint32_t note) {
        return voiceModel_->noteToPeriod(channel, note);
    }
    uint32_t periodToFrequency(int32_t period, Channel& channel) {
        return voiceModel_->periodToFrequency(period, channel);
    }
    int32_t slidePeriod(int32_t period, int32_t delta) {
        return voiceModel_->slidePeriod(period, delta);
    }
    int32_t mixerVolume(Channel& channel, int32_t volume) {
        return voiceModel_->mixerVolume(channel, volume);
    }
    int32_t mixerPanning(Channel& channel, int32_t panning) {
        return voiceModel_->mixerPanning(channel, panning);
    }

    void restartSong();
    // Back to the song's start as a fresh start would find it: voices silenced, the tick grid
    // started again, no frames played.
    void rewind();
    // Plays the song from `order` on instead of from its top: a subsong, which ends where it
    // reaches an order of `earlier` (those the tunes before it play). Rewinds to there.
    void startAt(uint32_t order, const OrderSet& earlier);
    void configurePlayback(uint32_t mixingRate);
    // Reads the data of every sample with a length through the mixer; false on the first
    // failure. Data cut short by the end of the stream is kept; with `adpcm`, 8-bit data marked
    // as ModPlug's ADPCM is decoded.
    bool loadAllSamples(InputStream& stream, bool adpcm = false);
    void releaseAllSamples();
    void refreshVolumes();
    // The gain the song plays at before the listener's amplification: more channels, more
    // headroom.
    float defaultGain() const;

    // Renders through the mixer and counts the frames; without a buffer nothing is written.
    // The options (the defaults when null) have their gain replaced by the player's.
    uint32_t renderFrames(uint32_t frames, void* buffer, const RenderFormat* options);
    // Plays silently up to `frame`, rewinding first when it lies behind.
    void seekToFrame(uint32_t frame);

    // Sequencer steps, public for the format players and their effects.
    void advanceRow();
    // Sends the channel's pending changes to the voice of the same index.
    void commit(uint32_t channelIndex);
    // The same for a channel that plays on another voice. Inline because most channels on
    // most ticks have nothing to send.
    void commit(Channel& channel, uint32_t voice) {
        if (changeFlags & (ChangeChannelBits | ChangeTempo))
            sendChanges(channel, voice);
    }
    void updateFrequency(uint32_t voice, Channel& channel);
    // Vibrato, tremolo and slide state of a channel whose note (re)starts.
    void restartModulation(Channel& channel);
    // Ticks at `bpm`, or at the song's timer rate for TimerTempo.
    void setTickInterval(uint32_t bpm);
    // TimerTempo when the song's timer sets its ticks, else its tempo.
    uint32_t startTempo() const;
    // The tempo ticks come at now, the timer's as the nearest whole tempo.
    uint32_t beatsPerMinute() const;
    // Channel volume plus tremolo, limited to 0..64.
    static int32_t effectiveVolume(const Channel& channel);
    // Mixer step of an Amiga period for a clock given in 16.16 Hz.
    uint32_t amigaStep(uint64_t clock, int32_t period);
    // The row being played within its pattern.
    uint32_t currentRow() const { return song.rowsPerPattern - rowsLeft; }
    bool isPatternLoopActive() const { return runningLoops != 0; }

    // Game music moves between parts of a song: goes on at row 0 of `order` after the current
    // row, or after the last row of the current pattern.
    void requestJump(uint32_t order, bool atPatternEnd);
    // Notes the mixer frame at which the song first plays `row` of `order` (watchedFrame, -1
    // until then).
    void watchPosition(uint32_t order, uint32_t row);

    Song song;
    uint32_t songFlags = 0;
    // No tempo a command can set: the song's timer ticks until one does.
    static constexpr uint8_t TimerTempo = 0;
    uint8_t tempo = 125;
    uint8_t speed = 6;
    uint16_t tickCountdown = 1;
    // Fine pattern delays: every channel's adds its ticks to the row, on each repeat too.
    uint16_t rowExtraTicks = 0;
    uint32_t changeFlags = 0;
    uint8_t patternDelay = 0;
    bool repeatingRow = false;    // the row being played is a pattern-delay repeat
    bool patternDelaySet = false; // a channel of the new row has given a pattern delay
    uint8_t globalVolume = 64;
    uint32_t rowsLeft = 1;
    uint32_t nextRow = 0;
    uint32_t orderIndex = 0;
    uint32_t currentOrder = 0; // the order entry being played
    // The entry after the order holding the last position jump; without backward jumps a jump
    // onto a played position goes on from there.
    int32_t orderAfterJump = -1;
    uint32_t songPosition = 0;
    int32_t loopStartPosition = -1;
    uint32_t loopReturnCount = 0;
    // Pattern loops counting their repeats on any channel.
    uint32_t runningLoops = 0;
    // Patterns entered other than by a loop's jump back into the same one.
    uint32_t patternVisits = 0;
    uint32_t maxLoops = 1;
    int32_t gain = 256;
    uint32_t playedFrames = 0;
    bool ended = false;
    bool silentScan = false;
    bool oldProTrackerMode = false;
    bool modPanningEnabled = true;
    FormatQuirks quirks;
    EffectTable effects; // the format's effect column
    Mixer* mixer;
    std::bitset<PositionCount> visited;
    OrderSet playedOrders; // since the song last started
    // Seeded from the clock; the loading pipeline reseeds it when the options give a seed.
    Random random{clockSeed()};

    int64_t watchedFrame = -1;

protected:
    // Each format's constructor shows the player its channel records and samples (a format
    // whose samples belong to instruments shows none).
    RecordView<Channel> channels_;
    RecordView<Sample> samples_;
    // A format with pitch or level rules of its own points this at its model.
    VoiceModel* voiceModel_ = &proTrackerModel_;

private:
    bool takeRequestedJump();
    // Whether the song played `position` before; where the loops' counts tell positions
    // apart, in the same counts.
    bool playedBefore(uint32_t position);
    void markPlayed(uint32_t position);
    // The key of `position` with the running loops' counts; 0 when there are too many to say.
    uint64_t loopStateKey(uint32_t position);
    void countReturn();
    // The song came back to where it was: it ends, or counts a return; true when it ended.
    bool cameBackEnds();
    // Whether a loop jumps back from the current row in counts it jumped back in before: it
    // goes round forever.
    bool loopJumpRepeats();
    void sendChanges(Channel& channel, uint32_t voice);
    bool fetchOrder(bool loopJump);
    bool restartAfterEnd(bool loopJump);
    bool wrapsOntoNewRow(uint32_t restart, bool loopJump);
    bool belongsHere(uint32_t order) const;
    bool onlySkippableFrom(uint32_t index);

    uint32_t fetchedPattern_ = 0;
    int32_t requestedOrder_ = -1;
    bool requestAtPatternEnd_ = false;
    uint32_t startOrder_ = 0;
    OrderSet earlierOrders_;
    // Without backward jumps: the song came back to a played position and went on past it.
    // From then on an order it never played belongs to another tune and ends it.
    bool cameBack_ = false;
    // The order being fetched was reached by a break past the last order.
    bool wrapped_ = false;
    // Cleared by a requested jump: where the caller steers, the tune's bounds no longer hold.
    bool bounded_ = true;
    int32_t watchedOrder_ = -1;
    uint32_t watchedRow_ = 0;
    LoopPositions loopVisited_; // positions played while loops counted, with their counts
    Mixer silentMixer_;
    VoiceModel proTrackerModel_{*this};
};

} // namespace tolva
