#pragma once
#include "engine/BasicSongInfo.h"
#include "engine/Player.h"
#include "formats/it/ItChannel.h"
#include "formats/it/ItModule.h"
#include "formats/it/ItPattern.h"

#include <array>
#include <cstdint>
#include <memory>

namespace tolva {

constexpr uint32_t ItVoices = 64;

// New-note, duplicate and past-note actions as they are applied to a voice.
enum : uint8_t {
    ItActionCut = 0,
    ItActionContinue = 1,
    ItActionNoteOff = 2,
    ItActionFade = 3,
};

class ItPlayer;

// Impulse Tracker's linear or Amiga pitch with the pitch envelope and auto-vibrato, levels
// from the channel, sample, instrument, envelope and fade-out, panning with pitch-pan and
// separation, and each voice's resonant filter.
class ItVoiceModel : public VoiceModel {
public:
    explicit ItVoiceModel(ItPlayer& player);
    int32_t noteToPeriod(Channel& channel, uint32_t note) override;
    uint32_t periodToFrequency(int32_t period, Channel& channel) override;
    int32_t slidePeriod(int32_t period, int32_t delta) override;
    int32_t mixerVolume(Channel& channel, int32_t volume) override;
    int32_t mixerPanning(Channel& channel, int32_t panning) override;
    void updateFormatState(Channel& channel) override;

private:
    ItPlayer& it_;
};

// An Impulse Tracker song and its playback. The 64 pattern channels borrow the 64 mixer
// voices: a channel's state lives in the voice it owns, or in its parked record while it owns
// none, and a note replaced by a newer one may go on in the background.
class ItPlayer : public Player, public BasicSongInfo {
public:
    explicit ItPlayer(Mixer* mixer);
    ~ItPlayer() override;
    SongInfo& info() override { return *this; }

    bool fillVoiceStart(uint32_t voice, const void* request, VoiceStart& out) override;
    // A note left in the background still belongs to the channel that played it.
    uint32_t voiceChannel(uint32_t voice) override;
    void resetChannels() override;
    // Periods in subunits and slides of whole hertz, for songs that play at whole hertz.
    void useHertzPitch();
    bool enterPattern(uint32_t pattern) override;
    bool isPatternMissing(uint32_t pattern) override;
    bool readCell(uint32_t channelIndex) override;
    void triggerNote(Channel& channel) override;
    void startEffect(Channel& channel) override;
    void continueEffect(Channel& channel) override;
    void resetRowModulation(Channel& channel) override;
    void processRow(bool isNewRow) override;
    void processTick() override;
    uint32_t formatType() override;
    void creatorText(char* out, uint32_t capacity) override;
    const char* songMessage() override;
    uint32_t channelCount() override;
    uint32_t instrumentCount() override;
    uint32_t envelopeKinds() override { return 3; } // volume, panning, pitch
    void describeSample(SampleDescription& out, uint32_t index, uint32_t instrument) override;
    void describeInstrument(InstrumentDescription& out, uint32_t index) override;
    bool describeEnvelope(EnvelopeView& out, uint32_t instrument, uint32_t kind) override;
    void describeInstrumentProperties(PropertyList& out, uint32_t instrument) override;
    void describeSong(SongDescription& out) override;
    void describePattern(PatternDescription& out, uint32_t index) override;
    bool writePatternText(const PatternDescription& pattern, uint32_t channelCount,
                          CellText* out) override;

    bool instrumentMode() const { return module.header.flags & ItInstrumentMode; }
    bool hasFlag(uint16_t flag) const { return module.header.flags & flag; }
    // The cell of pattern channel k in the row last read (mask 0: none).
    const ItCell& cell(uint32_t k) const { return rowCells_[k % ItChannels]; }

    // The record that holds pattern channel k's state.
    ItChannel& patternChannel(uint32_t k) {
        k %= ItChannels;
        const int32_t v = voiceOfChannel[k];
        return v >= 0 ? voices[static_cast<uint32_t>(v)] : parkedChannels[k];
    }
    // The voice pattern channel k owns, or -1.
    int32_t voiceOf(uint32_t k) const { return voiceOfChannel[k % ItChannels]; }
    // The voice a record belongs to, or -1 for a parked record.
    int32_t voiceIndex(const ItChannel& record) const;

    // Releases a note: sustain loops end and the envelopes leave their sustain.
    void noteOff(ItChannel& record);
    // Applies a new-note or past-note action to a voice.
    void applyAction(ItChannel& record, uint8_t action);
    // Applies `action` to every background voice the channel left behind.
    void pastNoteAction(ItChannel& channel, uint8_t action);
    // Moves the channel's playing sample to its sample offset.
    void jumpToOffset(ItChannel& channel);
    // Turns the channel's sample to play forwards or backwards from where it is.
    void setPlayDirection(ItChannel& channel, bool backwards);
    void advanceEnvelopes(ItChannel& record);
    void advanceAutoVibrato(ItChannel& record);
    void updateFilter(ItChannel& record, bool noteStarts);
    // Runs the channel's volume-column command.
    void runVolumeColumn(ItChannel& channel);

    ItModule module;
    std::array<ItChannel, ItVoices> voices;
    std::array<ItChannel, ItChannels> parkedChannels;
    std::array<int8_t, ItChannels> voiceOfChannel{};

private:
    struct NoteStart;
    uint32_t takeCellNote(ItChannel& ch, const NoteStart& start);
    bool slidesToNote(const ItChannel& ch, uint32_t k);
    ItChannel& takeNumbered(ItChannel& ch, const NoteStart& start, uint32_t& note);
    bool numberKeepsEnvelopes(const ItChannel& ch, const NoteStart& start) const;
    ItSample* numberedSample(const ItChannel& ch, const NoteStart& start, uint32_t number);
    void applyUnplayedNumber(ItChannel& ch, const NoteStart& start);
    bool ignoresUnmappedNote(ItChannel& ch, const NoteStart& start, uint32_t& note);
    // Plays the channel's new sample from its beginning on the voice it owns, at its pitch.
    void restartSample(ItChannel& ch, uint32_t k, const ItSample& sample);
    const ItInstrument* instrumentFor(uint32_t number) const;
    ItSample* sampleFor(uint32_t number);
    bool numberAloneRestarts(const ItChannel& ch, uint32_t k);
    ItChannel& takeVoice(ItChannel& ch, uint32_t k, const ItInstrument& instrument);
    void applyInstrument(ItChannel& ch, const ItInstrument& instrument, bool portamento,
                         bool keepsEnvelopes);
    void applySamplePan(ItChannel& ch, const ItSample& sample);
    void applySample(ItChannel& ch, ItSample& sample, bool defaultVolume, uint8_t randomVolume,
                     uint8_t randomPan);
    int32_t allocateVoice(uint32_t k, const ItInstrument& next);
    int32_t findVoice(uint32_t k);
    void moveChannel(uint32_t k, ItChannel& from, uint32_t voice);
    void duplicateCheck(uint32_t k, const ItInstrument& next, int32_t newVoice);
    bool isSilent(uint32_t voice);
    void commitRecord(ItChannel& record, uint32_t k);
    void advanceVoice(ItChannel& record);
    void advanceBackground();
    void restoreHeaderPan(ItChannel& ch);

    ItVoiceModel model_{*this};
    ItPatternReader reader_;
    ItCellValues lastValues_[ItChannels] = {};
    ItCell rowCells_[ItChannels] = {};
};

// Match (0) for a file that begins with "IMPM", 3 for another file, 1 when the stream is too
// short to tell.
uint32_t identifyIt(InputStream& stream);

// Loads an IT file into a new ItPlayer; null when the file is refused. With infoOnly no sample
// data is read and mixer may be null.
std::unique_ptr<Player> loadIt(InputStream& stream, bool infoOnly, Mixer* mixer);
// The same, telling why a file is refused.
std::unique_ptr<Player> loadIt(InputStream& stream, bool infoOnly, Mixer* mixer,
                               ItLoadError& error);

// A loaded envelope of `kind` as the instrument view shows it: panning and pitch values raised
// by 32 and swinging around the middle, a filter envelope not.
void describeItEnvelope(EnvelopeView& out, const ItEnvelope& envelope, uint32_t kind);

// The cell texts of an IT pattern.
void writeItPatternText(const PatternDescription& pattern, uint32_t channelCount, CellText* out);

} // namespace tolva
