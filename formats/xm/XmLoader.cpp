#include "formats/xm/XmLoader.h"

#include "engine/FormatId.h"
#include "engine/ModPlugAdpcm.h"
#include "formats/xm/XmDeltaDecoder.h"
#include "formats/xm/XmPlayer.h"
#include "song/ByteOrder.h"
#include "song/ByteReader.h"
#include "song/InputStream.h"
#include "song/SampleData.h"
#include "song/StereoSampleData.h"

#include <algorithm>
#include <bitset>
#include <cstring>
#include <new>

namespace tolva {

namespace {

constexpr uint32_t IdBlockBytes = 60;
constexpr char IdText[] = "extended module: ";
constexpr uint32_t IdTextLength = 17;
constexpr uint32_t TitleOffset = 17;
constexpr uint32_t TitleLength = 20;
constexpr uint32_t TrackerOffset = 38;
constexpr uint32_t VersionOffset = 58;
constexpr uint32_t OldLayoutVersion = 0x0102;
constexpr uint32_t HeaderAreaBytes = 272; // the fields after the header size, orders included
constexpr uint32_t SampleHeaderBytes = 40;
constexpr uint32_t SampleNameLength = 22;
constexpr int32_t XmMaxPeriod = 12500;

// Header fields, counted from the end of the header size (file offset 64).
enum : uint32_t {
    HSongLength = 0,
    HRestart = 2,
    HChannels = 4,
    HPatterns = 6,
    HInstruments = 8,
    HFlags = 10,
    HSpeed = 12,
    HTempo = 14,
    HOrders = 16,
};

struct EnvelopeLayout {
    uint32_t points, count, sustain, loopStart, loopEnd, type;
};

constexpr EnvelopeLayout volumeLayout = {XmiVolumePoints,    XmiVolumePointCount, XmiVolumeSustain,
                                         XmiVolumeLoopStart, XmiVolumeLoopEnd,    XmiVolumeType};
constexpr EnvelopeLayout panningLayout = {XmiPanningPoints,  XmiPanningPointCount,
                                          XmiPanningSustain, XmiPanningLoopStart,
                                          XmiPanningLoopEnd, XmiPanningType};

// Values above the top would overflow the envelope arithmetic; they are taken as the top.
XmEnvelope readEnvelope(const uint8_t* header, const EnvelopeLayout& at) {
    XmEnvelope e;
    for (uint32_t i = 0; i < XmEnvelopePointCount; ++i) {
        const uint8_t* p = header + at.points + i * 4;
        e.points[i].x = readLe16(p);
        e.points[i].y = static_cast<uint16_t>(std::min<uint32_t>(readLe16(p + 2), XmEnvelopeTop));
    }
    e.pointCount = static_cast<uint8_t>(std::min<uint32_t>(header[at.count], XmEnvelopePointCount));
    e.sustainPoint = header[at.sustain];
    e.loopStart = header[at.loopStart];
    e.loopEnd = header[at.loopEnd];
    e.type = header[at.type];
    return e;
}

void readSampleHeader(const uint8_t* h, XmSample& s) {
    s.length = readLe32(h);
    s.loopStart = readLe32(h + 4);
    const uint32_t loopLength = readLe32(h + 8);
    s.volume = h[12];
    s.finetune = static_cast<int8_t>(h[13]);
    s.flags = h[14];
    // ModPlug Tracker marks 8-bit samples it stored as 4-bit ADPCM in the reserved byte.
    s.adpcm = h[17] == 0xAD && !(s.flags & XmSample16Bit);
    s.panning = h[15];
    s.relativeNote = static_cast<int8_t>(h[16]);
    std::memcpy(s.name, h + 18, SampleNameLength);
    s.name[SampleNameLength] = '\0';
    // The loop must stay inside the data: one that starts past the end or has no length is
    // no loop, one that runs past the end is cut there.
    s.loopEnd = static_cast<uint32_t>(
        std::min<uint64_t>(static_cast<uint64_t>(s.loopStart) + loopLength, s.length));
    if (loopLength == 0 || s.loopStart >= s.length)
        s.flags &= static_cast<uint8_t>(~XmLoopBits);
}

// Version 1.02 pattern headers are 8 bytes, the row count one byte less one; they are kept in
// the 9-byte form the player reads.
constexpr uint32_t OldPatternHeaderBytes = 8;

void readPatternHeader(ByteReader& in, bool oldLayout, uint8_t (&header)[XmPatternHeaderBytes]) {
    if (!oldLayout) {
        in.bytes(header, XmPatternHeaderBytes);
        return;
    }
    in.bytes(header, OldPatternHeaderBytes);
    const uint32_t rows = header[5] + 1u;
    header[8] = header[7];
    header[7] = header[6];
    header[5] = static_cast<uint8_t>(rows);
    header[6] = static_cast<uint8_t>(rows >> 8);
}

bool loadPatterns(InputStream& stream, XmPlayer& player, uint32_t patternCount, bool oldLayout) {
    Song& song = player.song;
    std::bitset<256> used;
    for (uint32_t i = 0; song.orders[i] >= 0; ++i)
        used.set(static_cast<uint32_t>(song.orders[i]) & 0xFF);
    ByteReader in(stream);
    uint64_t position = in.position();
    for (uint32_t i = 0; i < patternCount; ++i) {
        uint8_t header[XmPatternHeaderBytes];
        readPatternHeader(in.at(position), oldLayout, header);
        if (!in.ok())
            return false;
        const uint64_t headerLength = readLe32(header);
        const uint32_t packed = readLe16(header + 7);
        if (i < used.size() && used[i]) {
            HeapArray<uint8_t>& record = song.patterns[i];
            if (!record.resize(XmPatternHeaderBytes + packed))
                return false;
            std::memcpy(record.data(), header, XmPatternHeaderBytes);
            // The packed cells follow the header at the length the header gives itself.
            if (packed != 0 && !in.at(position + headerLength)
                                    .bytes(record.data() + XmPatternHeaderBytes, packed)
                                    .ok())
                return false;
        }
        position += headerLength + packed;
    }
    // A pattern that runs past the end of the file fails the next read or this seek.
    return in.at(position).ok();
}

// Reads a stereo sample's two sides, each delta coded on its own, into interleaved frames.
void readStereoData(InputStream& stream, Mixer& mixer, XmSample& s, uint32_t bits) {
    const uint32_t valueBytes = bits / 8;
    uint32_t frames = s.length / (2 * valueBytes);
    s.data = readPlanarStereo(mixer, stream, frames, valueBytes);
    s.length = 2 * frames * valueBytes;
    if (!s.data)
        return;
    decodeXmDeltas(s.data, s.length / 2, bits);
    decodeXmDeltas(s.data + s.length / 2, s.length / 2, bits);
    if (!interleaveStereo(s.data, s.length, valueBytes)) {
        mixer.freeSampleData(s.data);
        s.data = nullptr;
    }
}

// Reads the data of one instrument's samples, stored one after another from `position`. A file
// that ends early keeps the frames it holds.
bool loadSampleData(InputStream& stream, XmPlayer& player, const XmInstrument& instrument,
                    uint64_t position) {
    for (XmSample* s : instrument.samples) {
        if (!s)
            continue;
        const uint64_t stored = s->storedBytes();
        if (s->present && !player.song.infoOnly) {
            const uint32_t bits = (s->flags & XmSample16Bit) ? 16 : 8;
            ByteReader in(stream);
            const uint32_t held = in.at(position).ok() ? in.left() : 0;
            if (held == 0)
                s->length = 0;
            else if (!s->adpcm && !s->stereo())
                s->cutToData(held, bits / 8, XmLoopBits);
            if (s->length != 0) {
                if (s->stereo()) {
                    readStereoData(stream, *player.mixer, *s, bits);
                } else {
                    s->data = s->adpcm ? decodeModPlugAdpcm(*player.mixer, stream, s->length)
                                       : readSampleData(*player.mixer, stream, s->length);
                    if (s->data && !s->adpcm)
                        decodeXmDeltas(s->data, s->length, bits);
                }
                if (!s->data && s->length != 0)
                    return false;
                s->clampLoopToData(XmLoopBits);
            }
            s->present = s->data != nullptr;
        }
        position += stored;
    }
    return true;
}

// Makes room for `more` sample records; the instruments' sample references follow the records
// when they move.
bool growSampleRecords(XmPlayer& player, uint32_t more) {
    const XmSample* before = player.sampleRecords.data();
    if (!player.sampleRecords.resize(player.sampleRecords.size() + more))
        return false;
    for (XmInstrument& instrument : player.instrumentRecords)
        for (XmSample*& sample : instrument.samples)
            if (sample)
                sample = player.sampleRecords.data() + (sample - before);
    return true;
}

// The samples an instrument's note map names.
std::bitset<XmMaxSamples> mappedSamples(const uint8_t* header) {
    std::bitset<XmMaxSamples> used;
    for (uint32_t n = 0; n < XmNoteCount; ++n)
        if (header[XmiNoteMap + n] < XmMaxSamples)
            used.set(header[XmiNoteMap + n]);
    return used;
}

// Each instrument's sample data follows its last sample header, except in version 1.02 files,
// which keep all of it after the patterns (`dataBytes` then receives each instrument's share).
// A file that ends inside the instruments keeps those read completely (unless the patterns
// follow them); more than 32 samples in one instrument, or sample data that cannot be read,
// refuse the file.
bool loadInstruments(InputStream& stream, XmPlayer& player, uint32_t count,
                     HeapArray<uint64_t>* dataBytesAfterPatterns) {
    ByteReader in(stream);
    uint64_t position = in.position();
    player.loadedInstrumentCount = std::min(count, XmMaxInstruments);
    if (!player.instrumentRecords.resize(player.loadedInstrumentCount))
        return false;
    for (uint32_t i = 0; i < player.loadedInstrumentCount; ++i) {
        uint8_t header[XmInstrumentHeaderBytes] = {};
        if (!in.at(position).bytes(header, XmInstrumentShortHeaderBytes).ok())
            return !dataBytesAfterPatterns;
        const uint32_t sampleCount = readLe16(header + XmiSampleCount);
        if (sampleCount > XmMaxSamples)
            return false;
        position += readLe32(header + XmiHeaderSize);
        if (sampleCount == 0)
            continue;
        if (!in.bytes(header + XmInstrumentShortHeaderBytes,
                      XmInstrumentHeaderBytes - XmInstrumentShortHeaderBytes)
                 .ok())
            return !dataBytesAfterPatterns;

        XmInstrument& instrument = player.instrumentRecords[i];
        std::memcpy(instrument.header, header, XmInstrumentHeaderBytes);
        instrument.volumeEnvelope = readEnvelope(header, volumeLayout);
        instrument.panningEnvelope = readEnvelope(header, panningLayout);
        player.instruments[i] = &instrument;

        const std::bitset<XmMaxSamples> used = mappedSamples(header);
        if (!growSampleRecords(player, sampleCount))
            return false;
        const uint32_t sampleHeaderSize = readLe32(header + XmiSampleHeaderSize);
        uint64_t dataBytes = 0;
        for (uint32_t s = 0; s < sampleCount; ++s) {
            uint8_t h[SampleHeaderBytes];
            if (!in.at(position).bytes(h, SampleHeaderBytes).ok())
                return !dataBytesAfterPatterns;
            // A sample without frames still lends its volume and panning to the notes mapped
            // to it.
            XmSample& sample = player.sampleRecords[player.sampleRecords.size() - sampleCount + s];
            readSampleHeader(h, sample);
            sample.blank = sample.length == 0;
            sample.adpcm = sample.adpcm && !sample.blank;
            sample.present = used[s] && !sample.blank;
            instrument.samples[s] = &sample;
            dataBytes += sample.storedBytes();
            position += sampleHeaderSize;
        }
        if (dataBytesAfterPatterns) {
            (*dataBytesAfterPatterns)[i] = dataBytes;
            continue;
        }
        if (!loadSampleData(stream, player, instrument, position))
            return false;
        position += dataBytes;
    }
    return !dataBytesAfterPatterns || in.at(position).ok();
}

// Version 1.02: the sample data of every instrument, in instrument order, after the patterns.
bool loadSampleDataAfterPatterns(InputStream& stream, XmPlayer& player,
                                 const HeapArray<uint64_t>& dataBytes) {
    uint64_t position = ByteReader(stream).position();
    for (uint32_t i = 0; i < player.loadedInstrumentCount; ++i) {
        if (dataBytes[i] != 0 &&
            !loadSampleData(stream, player, player.instrumentRecords[i], position))
            return false;
        position += dataBytes[i];
    }
    return true;
}

} // namespace

namespace {

uint32_t identifyIdBlock(const uint8_t (&id)[IdBlockBytes]) {
    for (uint32_t i = 0; i < IdTextLength; ++i) {
        const uint8_t c = id[i] >= 'A' && id[i] <= 'Z' ? static_cast<uint8_t>(id[i] + 32) : id[i];
        if (c != static_cast<uint8_t>(IdText[i]))
            return IdentifyNotThisFormat;
    }
    const uint32_t version = readLe16(id + VersionOffset);
    return version >= OldLayoutVersion && version <= 0x0104 ? IdentifyMatch : IdentifyUnsupported;
}

// Names like "OpenMPT 1.22.07.19" compare as text: each number has two digits.
bool savedByEarlyOpenMpt(const uint8_t (&id)[IdBlockBytes]) {
    const char* name = reinterpret_cast<const char*>(id + TrackerOffset);
    return std::memcmp(name, "OpenMPT ", 8) == 0 && std::memcmp(name + 8, "1.22.07.19", 10) < 0;
}

} // namespace

uint32_t identifyXm(InputStream& stream) {
    uint8_t id[IdBlockBytes];
    return ByteReader(stream).at(0).bytes(id, IdBlockBytes).ok() ? identifyIdBlock(id)
                                                                 : IdentifyUnreadable;
}

std::unique_ptr<Player> loadXm(InputStream& stream, bool infoOnly, Mixer* mixer) {
    std::unique_ptr<XmPlayer> player(new (std::nothrow) XmPlayer(mixer));
    ByteReader in(stream);
    uint8_t id[IdBlockBytes];
    const uint32_t headerSize = in.at(0).bytes(id, IdBlockBytes).u32le();
    if (!player || !in.ok() || identifyIdBlock(id) != IdentifyMatch || headerSize < 4)
        return nullptr;
    Song& song = player->song;
    std::memcpy(song.title, id + TitleOffset, TitleLength);
    song.title[TitleLength] = '\0';
    // A shorter header leaves the fields it lacks at 0; a longer one is skipped past.
    uint8_t h[HeaderAreaBytes] = {};
    in.bytes(h, std::min(headerSize - 4, HeaderAreaBytes));
    if (!in.at(IdBlockBytes + static_cast<uint64_t>(headerSize)).ok())
        return nullptr;

    const uint32_t songLength = std::min<uint32_t>(readLe16(h + HSongLength), MaxOrders);
    song.orderCount = static_cast<uint16_t>(songLength);
    song.restartPosition = readLe16(h + HRestart);
    song.channelCount = readLe16(h + HChannels);
    const uint32_t patternCount = readLe16(h + HPatterns);
    song.heldPatterns = std::min<uint32_t>(patternCount, 256);
    const uint32_t instrumentCount = readLe16(h + HInstruments);
    player->xmFlags = readLe16(h + HFlags);
    player->halfStepFinetune = savedByEarlyOpenMpt(id);
    song.initialSpeed = h[HSpeed];
    song.initialTempo = readLe16(h + HTempo);
    song.sampleCount = 0;
    song.maxPeriod = XmMaxPeriod;
    if (song.channelCount > XmMaxChannels || patternCount == 0 || instrumentCount == 0)
        return nullptr;
    for (uint32_t i = 0; i < songLength; ++i)
        song.orders[i] = h[HOrders + i];
    song.orders[songLength] = OrderEnd;

    song.infoOnly = infoOnly;
    if (readLe16(id + VersionOffset) != OldLayoutVersion) {
        if (!loadPatterns(stream, *player, patternCount, false) ||
            !loadInstruments(stream, *player, instrumentCount, nullptr))
            return nullptr;
        return player;
    }
    HeapArray<uint64_t> dataBytes;
    if (!dataBytes.resize(std::min(instrumentCount, XmMaxInstruments)) ||
        !loadInstruments(stream, *player, instrumentCount, &dataBytes) ||
        !loadPatterns(stream, *player, patternCount, true) ||
        !loadSampleDataAfterPatterns(stream, *player, dataBytes))
        return nullptr;
    return player;
}

} // namespace tolva
