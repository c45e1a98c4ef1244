#pragma once
#include "engine/BasicSongInfo.h"
#include "engine/Player.h"
#include "formats/xm/XmChannel.h"
#include "formats/xm/XmInstrument.h"

#include <array>
#include <cstdint>

namespace tolva {

constexpr uint32_t XmMaxChannels = 32;
constexpr uint32_t XmMaxInstruments = 256;
constexpr uint32_t XmPatternHeaderBytes = 9; // kept in front of the packed cells
constexpr uint32_t XmMaxRows = 256;          // the rows a position number can tell apart
constexpr uint32_t XmEffectCount = 36;       // 0..9, then A..Z

// Cell note values.
constexpr uint8_t XmKeyOff = 96; // this and above, up to XmNoNote
constexpr uint8_t XmNoNote = 0xFF;
constexpr int32_t XmHighestNote = 118;   // A#9, counted with the sample's relative note
constexpr int32_t XmLowestNote = -1;     // a semitone below C-0, counted so too
constexpr uint8_t XmNoInstrument = 0xFF; // like 0, no instrument

enum : uint16_t { XmLinearFrequencies = 0x01 };

class XmPlayer;

// FastTracker 2's linear or Amiga periods with the sample's relative note and finetune, and
// levels shaped by the envelopes and the fade-out.
class XmVoiceModel : public VoiceModel {
public:
    explicit XmVoiceModel(XmPlayer& player);
    int32_t noteToPeriod(Channel& channel, uint32_t note) override;
    uint32_t periodToFrequency(int32_t period, Channel& channel) override;
    int32_t mixerVolume(Channel& channel, int32_t volume) override;
    int32_t mixerPanning(Channel& channel, int32_t panning) override;

private:
    XmPlayer& xm_;
};

// Plays a FastTracker 2 song: packed pattern cells, instruments with note maps, envelopes,
// fadeout and auto-vibrato, linear or Amiga pitch, an effect and a volume column per cell.
class XmPlayer : public Player, public BasicSongInfo {
public:
    explicit XmPlayer(Mixer* mixer);
    ~XmPlayer() override;
    SongInfo& info() override { return *this; }

    bool fillVoiceStart(uint32_t voice, const void* request, VoiceStart& out) override;
    void resetChannels() override;
    bool enterPattern(uint32_t pattern) override;
    bool isPatternMissing(uint32_t pattern) override;
    bool readCell(uint32_t channelIndex) override;
    void triggerNote(Channel& channel) override;
    void startEffect(Channel& channel) override;
    void continueEffect(Channel& channel) override;
    void resetRowModulation(Channel& channel) override;
    uint32_t formatType() override;
    uint32_t instrumentCount() override;
    uint32_t envelopeKinds() override { return 2; } // volume, panning
    uint32_t instrumentSampleCount(uint32_t instrument) override;
    bool samplesBelongToInstruments() override;
    void describeSample(SampleDescription& out, uint32_t sample, uint32_t instrument) override;
    void describeInstrument(InstrumentDescription& out, uint32_t index) override;
    bool describeEnvelope(EnvelopeView& out, uint32_t instrument, uint32_t kind) override;
    void describeInstrumentProperties(PropertyList& out, uint32_t instrument) override;
    void describeSong(SongDescription& out) override;
    void describePattern(PatternDescription& out, uint32_t index) override;
    bool writePatternText(const PatternDescription& pattern, uint32_t channelCount,
                          CellText* out) override;

    // Releases both envelopes and starts the fadeout; without a volume envelope the note
    // falls silent at once.
    void keyOff(XmChannel& channel);
    // Whether the loop jump of `channel` was taken before in this visit of the pattern with
    // every channel's loop as it is now: from there the pattern would repeat forever.
    bool loopRepeats(const XmChannel& channel);
    // Fadeout, envelopes and auto-vibrato, once per tick after the channel's effects.
    void instrumentTick(XmChannel& channel);

    uint16_t xmFlags = 0;
    // FastTracker 2 keeps a sample's linear finetune in sixteenths of a semitone; OpenMPT
    // before 1.22.07.19 kept half steps of a period unit, and plays the files it saved so.
    bool halfStepFinetune = false;
    uint32_t loadedInstrumentCount = 0; // as the header says, at most XmMaxInstruments
    // Instrument n of a cell uses entry n - 1; null where the instrument has no samples.
    std::array<XmInstrument*, XmMaxInstruments> instruments{};
    // Records live here: one per loaded instrument, and the samples of them all in a row.
    HeapArray<XmInstrument> instrumentRecords;
    HeapArray<XmSample> sampleRecords;
    std::array<XmChannel, XmMaxChannels> channels;

private:
    void takeInstrumentNumber(XmChannel& channel, bool hasNote, bool isKeyOff);
    void resetFromInstrument(XmChannel& channel, const XmSample& sample);
    // Envelopes, fadeout and auto-vibrato from the start; the volume stays.
    void restartInstrument(XmChannel& channel, const XmSample& sample);
    void switchInstrument(XmChannel& channel, const XmSample& sample);
    void replayKeyOff(XmChannel& channel, bool hasInstrument, const XmSample& sample);
    // Runs a volume command; one that sets the volume makes it heard again after a tremor.
    template <typename Command> void runVolumeCommand(XmChannel& channel, Command command);
    uint8_t nextPatternByte();

    XmVoiceModel model_{*this};
    // Digests of the loop states the pattern visit numbered loopVisit_ has jumped from.
    std::array<uint64_t, 256> loopStates_{};
    uint32_t loopStateCount_ = 0;
    uint32_t loopVisit_ = 0;
    const uint8_t* rowReader_ = nullptr;
    const uint8_t* patternEnd_ = nullptr;
};

// A loaded envelope as the instrument view shows it; panning swings around the middle.
void describeXmEnvelope(EnvelopeView& out, const XmEnvelope& envelope, bool panning);

// The cell texts of an XM pattern record.
void writeXmPatternText(const PatternDescription& pattern, uint32_t channelCount, CellText* out);

} // namespace tolva
