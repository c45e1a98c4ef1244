#pragma once
// Instrument and sample records of a FastTracker 2 song as the loader keeps them.
#include "song/ByteOrder.h"
#include "song/Sample.h"

#include <array>
#include <cstdint>

namespace tolva {

// FastTracker 2 writes at most 16 samples an instrument, ModPlug Tracker up to 32.
constexpr uint32_t XmMaxSamples = 32;
constexpr uint32_t XmNoteCount = 96;
constexpr uint32_t XmEnvelopePointCount = 12;
constexpr uint8_t XmEnvelopeTop = 64; // highest envelope value

// The instrument header as stored in the file and kept whole (the information dialog shows it).
constexpr uint32_t XmInstrumentHeaderBytes = 243;
constexpr uint32_t XmInstrumentShortHeaderBytes = 29; // all an instrument without samples has

// Offsets into the instrument header.
enum : uint32_t {
    XmiHeaderSize = 0,
    XmiName = 4,
    XmiSampleCount = 27,
    XmiSampleHeaderSize = 29,
    XmiNoteMap = 33,
    XmiVolumePoints = 129,
    XmiPanningPoints = 177,
    XmiVolumePointCount = 225,
    XmiPanningPointCount = 226,
    XmiVolumeSustain = 227,
    XmiVolumeLoopStart = 228,
    XmiVolumeLoopEnd = 229,
    XmiPanningSustain = 230,
    XmiPanningLoopStart = 231,
    XmiPanningLoopEnd = 232,
    XmiVolumeType = 233,
    XmiPanningType = 234,
    XmiVibratoType = 235,
    XmiVibratoSweep = 236,
    XmiVibratoDepth = 237,
    XmiVibratoRate = 238,
    XmiFadeout = 239,
};

// Envelope type bits as in the file, and the playing state's own bits.
enum : uint8_t {
    EnvelopeOn = 0x01,
    EnvelopeSustain = 0x02,
    EnvelopeLoop = 0x04,
    EnvelopeFinished = 0x10,
    EnvelopeReleased = 0x40,
    EnvelopeFading = 0x80, // volume envelope only
};

struct XmEnvelopePoint {
    uint16_t x = 0; // tick
    uint16_t y = 0; // 0..64
};

struct XmEnvelope {
    std::array<XmEnvelopePoint, XmEnvelopePointCount> points{};
    uint8_t pointCount = 0; // at most XmEnvelopePointCount
    uint8_t sustainPoint = 0;
    uint8_t loopStart = 0;
    uint8_t loopEnd = 0;
    uint8_t type = 0;

    // Point i, or the last slot for an index that lies outside the table.
    const XmEnvelopePoint& point(uint32_t i) const {
        return points[i < XmEnvelopePointCount ? i : XmEnvelopePointCount - 1];
    }
};

// Sample type byte of the file, kept as the sample's flags.
enum : uint8_t {
    XmLoopForward = 0x01,
    XmLoopPingPong = 0x02,
    XmLoopBits = 0x03,
    XmSample16Bit = 0x10,
    XmSampleStereo = 0x20, // ModPlug's: all left values, then all right ones, each delta coded
};

struct XmSample : Sample {
    uint8_t panning = 0;
    int8_t relativeNote = 0; // added to every note played with the sample
    bool adpcm = false;      // stored as ModPlug ADPCM: a 16-byte table, then two codes a byte
    bool blank = false;      // stored with length 0

    uint32_t storedBytes() const { return adpcm ? (length + 1) / 2 + 16 : length; }

    bool loops() const { return (flags & XmLoopBits) != 0; }
    bool stereo() const { return (flags & XmSampleStereo) && !adpcm; }
    uint32_t frameBytes() const { return ((flags & XmSample16Bit) ? 2 : 1) * (stereo() ? 2 : 1); }
};

struct XmInstrument {
    uint8_t header[XmInstrumentHeaderBytes] = {};
    XmEnvelope volumeEnvelope;
    XmEnvelope panningEnvelope;
    std::array<XmSample*, XmMaxSamples> samples{}; // null past the instrument's count

    uint32_t sampleCount() const { return readLe16(header + XmiSampleCount); }
    // The sample the note map gives for a note 0..95, or null.
    XmSample* sampleForNote(uint32_t note) const {
        const uint8_t index = note < XmNoteCount ? header[XmiNoteMap + note] : 0xFF;
        return index < XmMaxSamples ? samples[index] : nullptr;
    }
    uint8_t vibratoType() const { return header[XmiVibratoType]; }
    uint8_t vibratoSweep() const { return header[XmiVibratoSweep]; }
    uint8_t vibratoDepth() const { return header[XmiVibratoDepth]; }
    uint8_t vibratoRate() const { return header[XmiVibratoRate]; }
    uint16_t fadeout() const { return readLe16(header + XmiFadeout); }
};

} // namespace tolva
