#pragma once
// Records the players fill for the module information dialog; the caller owns them.
#include <cstdint>
#include <cstdio>

namespace tolva {

constexpr uint32_t DescribedChannels = 64;

enum : uint16_t {
    ModeLinearSlides = 0x01,
    ModeInstruments = 0x02,
};

struct SongDescription {
    const int32_t* orders = nullptr; // the song's order list, OrderSkip and OrderEnd included
    uint32_t channelCount = 0;
    uint8_t channelDisabled[DescribedChannels] = {};
    uint8_t channelVolume[DescribedChannels] = {}; // 0xFF: the format has no channel volume
    uint8_t channelPanning[DescribedChannels] = {};
    uint8_t channelSurround[DescribedChannels] = {};
    uint16_t initialTempo = 0;
    uint16_t initialSpeed = 0;
    uint16_t modeFlags = 0;
    uint8_t showChannelSettings = 0;
};

// Which rows of the sample details apply.
enum : uint32_t {
    SampleFieldFileName = 0x0001,
    SampleFieldLength = 0x0002,
    SampleFieldFinetune = 0x0004,
    SampleFieldReferenceRate = 0x0008,
    SampleFieldDefaultVolume = 0x0010,
    SampleFieldGlobalVolume = 0x0020,
    SampleFieldDefaultPanning = 0x0040,
    SampleFieldDefaultPanningAlt = 0x0080,
    SampleFieldType = 0x0100,
    SampleFieldLoop = 0x0200,
    SampleFieldSustainLoop = 0x0400,
    SampleFieldAutoVibrato = 0x0800,
    SampleFieldInstrument = 0x1000,
    SampleFieldRelativeNote = 0x2000,
};

enum : uint8_t {
    SampleType16Bit = 0x01,
    SampleTypeUnsigned = 0x02,
    SampleTypeStereo = 0x04,
};

enum : uint8_t { LoopNone = 0, LoopForward = 1, LoopPingPong = 2 };

struct SampleDescription {
    uint32_t fieldMask = 0;
    char name[33] = {};
    char fileName[13] = {};
    const uint8_t* data = nullptr; // null when the data is not loaded
    uint32_t length = 0;           // frames, as are the loop points
    uint32_t loopStart = 0;
    uint32_t loopEnd = 0;
    uint32_t sustainLoopStart = 0;
    uint32_t sustainLoopEnd = 0;
    uint32_t referenceRate = 0;   // Hz
    uint32_t referenceOctave = 0; // of the "C-%d Speed:" label
    int8_t finetune = 0;
    uint8_t defaultVolume = 0;
    uint8_t globalVolume = 0;
    uint8_t defaultPanning = 0;
    uint8_t typeFlags = 0;
    uint8_t loopKind = LoopNone;
    uint8_t sustainLoopKind = LoopNone;
    uint8_t vibratoWaveform = 0;
    uint8_t vibratoDepth = 0;
    uint8_t vibratoSpeed = 0;
    uint8_t vibratoRate = 0;
    uint8_t instrumentNumber = 0;
    int8_t relativeNote = 0;
    bool present = false;
};

// The format's own instrument record as its loader stored it.
constexpr uint32_t InstrumentRecordSize = 550;

// The marker of a description that holds a FastTracker 2 instrument header.
constexpr uint16_t XmInstrumentMarker = 0x0101;

struct InstrumentDescription {
    char name[27] = {}; // as the file holds it, NUL-terminated
    uint8_t bytes[InstrumentRecordSize] = {};
    uint32_t size = 0;   // bytes used
    uint16_t marker = 0; // 0x0101 for a FastTracker 2 instrument header
    bool valid = false;
};

// An instrument's settings as the instrument view lists them, one labelled text a line.
struct PropertyList {
    static constexpr uint32_t Capacity = 24;
    struct Line {
        const char* label;
        char value[24];
    };
    Line lines[Capacity];
    uint32_t count = 0;

    void add(const char* label, const char* value) {
        if (count < Capacity) {
            lines[count].label = label;
            std::snprintf(lines[count++].value, sizeof lines[0].value, "%s", value);
        }
    }
    void addNumber(const char* label, int32_t value) {
        char text[12];
        std::snprintf(text, sizeof text, "%d", static_cast<int>(value));
        add(label, text);
    }
    void addSwitch(const char* label, bool on) { add(label, on ? "On" : "Off"); }
};

// One envelope as the instrument view draws it: points of (tick, value) with values 0..64, loop
// and sustain ranges as point numbers (None when absent), and whether the values swing around
// the middle.
struct EnvelopeView {
    static constexpr uint16_t None = 0xFFFF;
    uint16_t ticks[25] = {};
    uint8_t values[25] = {};
    uint32_t count = 0;
    uint16_t loopBegin = None, loopEnd = None;
    uint16_t sustainBegin = None, sustainEnd = None;
    bool centred = false;
};

enum : uint32_t { EnvelopeVolume = 0, EnvelopePanning = 1, EnvelopePitch = 2 };

constexpr uint32_t DescribedTracks = 32;

struct PatternDescription {
    uint32_t rows = 64;
    const uint8_t* cells = nullptr; // the format's own encoding; null for a missing pattern
    uint32_t size = 0;              // bytes at cells
    const uint8_t* tracks[DescribedTracks] = {}; // formats that build patterns from tracks
};

} // namespace tolva
