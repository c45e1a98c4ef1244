#include "engine/ModPlugAdpcm.h"
#include "formats/it/ItModule.h"
#include "formats/it/ItPattern.h"
#include "formats/it/ItSampleDecompression.h"
#include "mixer/Mixer.h"
#include "song/ByteOrder.h"
#include "song/ByteReader.h"
#include "song/InputStream.h"
#include "song/SampleData.h"
#include "song/Song.h"
#include "song/StereoSampleData.h"

#include <algorithm>
#include <cstring>

namespace tolva {

namespace {

constexpr uint32_t MaxTableEntries = 256;

bool readOffsets(InputStream& stream, uint32_t tableOffset, uint32_t count, uint32_t* out) {
    uint8_t raw[4 * MaxTableEntries];
    if (count == 0)
        return true;
    if (!ByteReader(stream).at(tableOffset).bytes(raw, 4 * count).ok())
        return false;
    for (uint32_t i = 0; i < count; ++i)
        out[i] = readLe32(raw + 4 * i);
    return true;
}

uint32_t limited(uint32_t count, uint32_t most) {
    return count < most ? count : most;
}

uint32_t saturated(uint64_t value) {
    return value > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<uint32_t>(value);
}

bool readOrders(InputStream& stream, const ItHeader& header, Song& song) {
    uint32_t count = limited(header.orderCount, MaxOrders);
    uint8_t raw[MaxOrders];
    if (!ByteReader(stream).at(ItListOffset).bytes(raw, count).ok())
        return false;
    for (uint32_t i = 0; i < count; ++i)
        song.orders[i] = raw[i] == 254   ? int32_t{OrderSkip}
                         : raw[i] == 255 ? int32_t{OrderEnd}
                                         : raw[i];
    song.orders[count] = OrderEnd;
    return true;
}

bool isOrdered(const Song& song, uint32_t pattern) {
    for (int32_t entry : song.orders)
        if (entry == static_cast<int32_t>(pattern))
            return true;
    return false;
}

// Only the patterns that the order list names are kept, also past an end mark: the orders
// after one hold another tune.
bool readPatterns(InputStream& stream, const ItHeader& header, Song& song) {
    uint32_t offsets[ItMaxPatternOffsets];
    uint32_t count = limited(header.patternCount, ItMaxPatternOffsets);
    if (!readOffsets(stream, header.patternTableOffset(), count, offsets))
        return false;
    song.heldPatterns = count;
    for (uint32_t p = 0; p < count; ++p) {
        if (offsets[p] == 0 || !isOrdered(song, p))
            continue;
        ByteReader in(stream);
        uint8_t head[ItPatternHeaderBytes];
        in.at(offsets[p]).bytes(head, sizeof head);
        const uint32_t packed = readLe16(head);
        HeapArray<uint8_t>& stored = song.patterns[p];
        if (!in.need(packed).ok() || !stored.resize(ItPatternHeaderBytes + packed))
            return false;
        std::memcpy(stored.data(), head, ItPatternHeaderBytes);
        if (!in.bytes(stored.data() + ItPatternHeaderBytes, packed).ok())
            return false;
    }
    return true;
}

// Lines end in CR in the file; text controls want CR LF. A damaged message is left out; false
// when memory is short.
void readPannings(const ItHeader& header, Song& song) {
    for (uint32_t k = 0; k < ItChannels; ++k) {
        const uint8_t pan = header.channelPan[k] & 0x7F;
        if (pan == ItChannelSurround)
            song.pannings[k] = {128, 1};
        else
            song.pannings[k] = {static_cast<uint8_t>(std::min(pan * 255 / 64, 255)), 0};
    }
}

bool readMessage(InputStream& stream, const ItHeader& header, ItModule& module) {
    uint32_t length = header.messageLength;
    ByteReader in(stream);
    if (!(header.special & 0x01) || length == 0 || !in.at(header.messageOffset).need(length).ok())
        return true;
    HeapArray<char> raw;
    if (!raw.resize(length) || !module.message.resize(2 * std::size_t{length} + 1))
        return false;
    if (!in.bytes(raw.data(), length).ok()) {
        module.message.clear();
        return true;
    }
    std::size_t kept = 0;
    for (char c : raw) {
        module.message[kept++] = c;
        if (c == '\r')
            module.message[kept++] = '\n';
    }
    module.message[kept++] = 0;
    module.message.shrink(kept);
    return true;
}

// A file may carry its own MIDI macros after the edit history; others play the tracker's set.
// A damaged set leaves the defaults.
void readMacros(InputStream& stream, const ItHeader& header, ItModule& module) {
    constexpr uint32_t GlobalMacroBytes = 9 * ItMacroLength;
    setDefaultItMacros(module.macros);
    if (!(header.special & ItSpecialMacros))
        return;
    ByteReader in(stream);
    in.at(header.patternTableOffset() + 4u * header.patternCount);
    if (header.special & ItSpecialEditHistory) {
        uint8_t count[2];
        in.bytes(count, 2).skip(8u * readLe16(count));
    }
    ItMacros stored;
    in.skip(GlobalMacroBytes).bytes(&stored.parametered[0][0], sizeof stored.parametered);
    in.bytes(&stored.fixed[0][0], sizeof stored.fixed);
    if (!in.ok())
        return;
    module.macros = stored;
}

ItLoadError readSampleData(InputStream& stream, Mixer* mixer, const uint8_t* raw, ItSample& s,
                           uint32_t frames) {
    if (!mixer)
        return ItLoadError::NoMixer;
    ByteReader in(stream);
    if (!in.at(readLe32(raw + 0x48)).ok())
        return ItLoadError::SampleData;
    bool stereo = s.flags & ItSampleStereo;
    uint32_t bytesPerSample = s.flags & ItSample16Bit ? 2 : 1;
    if (raw[0x2E] == ItConvertAdpcm && bytesPerSample == 1 && !stereo) {
        uint32_t held = frames;
        s.data = decodeModPlugAdpcm(*mixer, stream, held);
        s.length = held;
        return s.data || held == 0 ? ItLoadError::None : ItLoadError::SampleData;
    }
    if (s.flags & ItSampleCompressed) {
        s.data = decompressItSample(*mixer, stream, frames, bytesPerSample,
                                    raw[0x2E] & ItConvertDoubleDelta, stereo);
        return s.data ? ItLoadError::None : ItLoadError::SampleData;
    }
    if (stereo) {
        uint32_t kept = frames;
        s.data = readPlanarStereo(*mixer, stream, kept, bytesPerSample);
        s.length = 2 * kept * bytesPerSample;
        if (s.data && !interleaveStereo(s.data, s.length, bytesPerSample)) {
            mixer->freeSampleData(s.data);
            s.data = nullptr;
        }
        return s.data || kept == 0 ? ItLoadError::None : ItLoadError::SampleData;
    }
    // A file cut short inside the sample keeps the frames it holds; the rest is silence.
    s.cutToData(in.left(), bytesPerSample, 0);
    if (s.length == 0)
        return ItLoadError::None;
    s.data = readSampleData(*mixer, stream, s.length);
    return s.data ? ItLoadError::None : ItLoadError::SampleData;
}

ItLoadError readSample(InputStream& stream, bool infoOnly, Mixer* mixer, uint32_t offset,
                       ItSample& s) {
    uint8_t raw[ItSampleHeaderBytes];
    if (!ByteReader(stream).at(offset).bytes(raw, sizeof raw).ok() || std::memcmp(raw, "IMPS", 4))
        return ItLoadError::SampleHeader;
    copyItName(s.name, raw + 0x14);
    uint8_t flags = raw[0x12];
    uint32_t frames = readLe32(raw + 0x30);
    if (!(flags & ItSampleHasData) || frames == 0)
        return ItLoadError::None;

    s.flags = flags;
    uint64_t frameBytes = s.frameBytes();
    uint64_t length = frames * frameBytes;
    if (length > 0xFFFFFFFFu)
        return ItLoadError::SampleTooLong;
    std::memcpy(s.fileName, raw + 0x04, 12);
    s.length = static_cast<uint32_t>(length);
    s.loopStart = saturated(readLe32(raw + 0x34) * frameBytes);
    s.loopEnd = saturated(readLe32(raw + 0x38) * frameBytes);
    s.volume = raw[0x13];
    if (!infoOnly) {
        ItLoadError error = readSampleData(stream, mixer, raw, s, frames);
        if (error != ItLoadError::None)
            return error;
    }
    s.sustainLoopStart = saturated(readLe32(raw + 0x40) * frameBytes);
    s.sustainLoopEnd = saturated(readLe32(raw + 0x44) * frameBytes);
    s.clampLoopToData(ItSampleLoop);
    s.clampLoopToData(s.sustainLoopStart, s.sustainLoopEnd, ItSampleSustainLoop);
    s.middleCRate = readLe32(raw + 0x3C);
    s.vibratoSpeed = raw[0x4C];
    s.vibratoDepth = raw[0x4D];
    s.vibratoRate = raw[0x4E];
    s.vibratoWaveform = raw[0x4F];
    s.globalVolume = raw[0x11];
    s.defaultPan = raw[0x2F];
    s.signedData = raw[0x2E] & ItConvertSigned;
    // Present means playable: an information-only load has headers but no data.
    s.present = s.data != nullptr;
    return ItLoadError::None;
}

ItLoadError readSamples(InputStream& stream, bool infoOnly, Mixer* mixer, ItModule& module) {
    uint32_t offsets[ItMaxSamples];
    if (!readOffsets(stream, module.header.sampleTableOffset(), module.sampleCount, offsets))
        return ItLoadError::SampleHeader;
    for (uint32_t i = 0; i < module.sampleCount; ++i) {
        ItLoadError error = readSample(stream, infoOnly, mixer, offsets[i], module.samples[i]);
        if (error != ItLoadError::None)
            return error;
    }
    return ItLoadError::None;
}

bool readInstrument(InputStream& stream, bool oldLayout, uint32_t offset, ItInstrument& out) {
    uint8_t raw[ItOldInstrumentBytes] = {};
    ByteReader in(stream);
    if (!in.at(offset).ok())
        return false;
    if (!oldLayout)
        return in.bytes(raw, ItInstrumentBytes).ok() && parseItInstrument(raw, out);
    return in.some(raw, ItOldInstrumentBytes) >= ItOldInstrumentMinimum &&
           parseOldItInstrument(raw, out);
}

bool readInstruments(InputStream& stream, ItModule& module) {
    uint32_t offsets[ItMaxInstruments];
    module.instrumentCount = limited(module.header.instrumentCount, ItMaxInstruments);
    if (!readOffsets(stream, module.header.instrumentTableOffset(), module.instrumentCount,
                     offsets))
        return false;
    bool oldLayout = module.header.compatibleWith < 0x200;
    for (uint32_t i = 0; i < module.instrumentCount; ++i) {
        if (!readInstrument(stream, oldLayout, offsets[i], module.instruments[i]))
            return false;
        module.instruments[i].present = true;
    }
    return true;
}

} // namespace

const char* itLoadErrorText(ItLoadError error) {
    switch (error) {
    case ItLoadError::None:
        return "loaded";
    case ItLoadError::ShortHeader:
        return "file header cut short";
    case ItLoadError::NoOrders:
        return "no orders";
    case ItLoadError::NoPatterns:
        return "no patterns";
    case ItLoadError::OrderList:
        return "order list cut short";
    case ItLoadError::Pattern:
        return "pattern outside the file";
    case ItLoadError::SampleHeader:
        return "sample header missing or without IMPS";
    case ItLoadError::SampleTooLong:
        return "sample length too large";
    case ItLoadError::SampleData:
        return "sample data missing or damaged";
    case ItLoadError::Instrument:
        return "instrument missing or without IMPI";
    case ItLoadError::NoMixer:
        return "no mixer for sample data";
    case ItLoadError::OutOfMemory:
        return "out of memory";
    }
    return "unknown";
}

ItLoadError loadItModule(InputStream& stream, bool infoOnly, Mixer* mixer, Song& song,
                         ItModule& module) {
    uint8_t raw[ItHeaderSize];
    if (!ByteReader(stream).at(0).bytes(raw, ItHeaderSize).ok())
        return ItLoadError::ShortHeader;
    ItHeader& header = module.header;
    parseItHeader(raw, header);
    std::memcpy(song.title, header.songName, sizeof header.songName);
    song.title[sizeof header.songName] = 0;
    if (header.orderCount == 0)
        return ItLoadError::NoOrders;
    if (header.patternCount == 0)
        return ItLoadError::NoPatterns;
    song.channelCount = ItChannels;
    // Set before any sample loads, so a failed load still releases what it handed out.
    module.sampleCount = limited(header.sampleCount, ItMaxSamples);
    song.sampleCount = module.sampleCount;
    song.initialGlobalVolume = header.globalVolume;
    song.initialTempo = header.initialTempo;
    song.initialSpeed = header.initialSpeed;
    song.orderCount = static_cast<uint16_t>(limited(header.orderCount, MaxOrders));
    song.mixVolume = header.mixVolume / 128.0f;
    readPannings(header, song);

    if (!readOrders(stream, header, song))
        return ItLoadError::OrderList;
    if (!readPatterns(stream, header, song))
        return ItLoadError::Pattern;
    if (!readMessage(stream, header, module))
        return ItLoadError::OutOfMemory;
    readMacros(stream, header, module);
    song.infoOnly = infoOnly;
    ItLoadError error = readSamples(stream, infoOnly, mixer, module);
    if (error != ItLoadError::None)
        return error;
    if (!readInstruments(stream, module))
        return ItLoadError::Instrument;
    song.maxPeriod = header.flags & ItLinearSlides ? 12500 : 3424;
    return ItLoadError::None;
}

} // namespace tolva
