#include "formats/s3m/S3mLoader.h"

#include "engine/FormatId.h"
#include "engine/ModPlugAdpcm.h"
#include "formats/s3m/S3mPlayer.h"
#include "formats/s3m/S3mRecords.h"
#include "song/ByteReader.h"
#include "song/InputStream.h"
#include "song/SampleData.h"
#include "song/StereoSampleData.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tolva {

namespace {

constexpr uint32_t PanTableSize = 32;
constexpr uint8_t PanGiven = 0x20;        // pan-table byte holds a position in its low nibble
constexpr uint32_t LowestParapointer = 8; // smaller ones point into the header
constexpr uint8_t OrderSkipByte = 254;
constexpr uint8_t OrderEndByte = 255;
constexpr uint8_t Centre = 0x80;
constexpr uint32_t MaxPatterns = 256;
// High nibbles of the tracker version word.
constexpr uint32_t ImpulseTracker = 3;
constexpr uint32_t SchismTracker = 4;

void convertOrders(const HeapArray<uint8_t>& bytes, Song& song) {
    const uint32_t kept = std::min<uint32_t>(static_cast<uint32_t>(bytes.size()), MaxOrders);
    for (uint32_t i = 0; i < kept; ++i) {
        const int32_t b = bytes[i];
        song.orders[i] = b == OrderEndByte    ? int32_t{OrderEnd}
                         : b == OrderSkipByte ? int32_t{OrderSkip}
                                              : b;
    }
    song.orders[kept] = OrderEnd;
}

void setChannelPannings(S3mPlayer& player, const S3mFileHeader& header, const uint8_t* pans) {
    for (uint32_t c = 0; c < S3mMaxChannels; ++c) {
        const uint8_t setting = header.channelSettings[c];
        player.channelDisabled[c] = setting > 31;
        if (pans[c] & PanGiven)
            player.channelPan[c] = static_cast<uint8_t>((pans[c] & 15) * 17);
        else if (setting < 8)
            player.channelPan[c] = 0x30;
        else if (setting < 16)
            player.channelPan[c] = 0xC0;
        else
            player.channelPan[c] = Centre;
        if (player.mono)
            player.channelPan[c] = Centre;
    }
}

// The pannings of the channels that play, in their order.
void setSongPannings(const S3mPlayer& player, Song& song) {
    song.pannings.fill({Centre, 0});
    uint32_t k = 0;
    for (uint32_t c = 0; c < S3mMaxChannels; ++c)
        if (player.channelUsed[c])
            song.pannings[k++] = {player.channelPan[c], 0};
    if (k == 0)
        song.pannings[0] = {player.channelPan[0], 0};
}

// Copies the name with NULs shown as spaces; 27 characters are kept.
void copySampleName(char* out, const uint8_t* name) {
    for (uint32_t i = 0; i < S3mInstrumentHeader::NameLength; ++i)
        out[i] = name[i] == 0 ? ' ' : static_cast<char>(name[i]);
    out[S3mInstrumentHeader::NameLength - 1] = '\0';
}

// ModPlug's stereo samples hold all left values, then all right ones.
bool readStereoData(InputStream& stream, Mixer& mixer, S3mSample& s, uint32_t frames,
                    uint32_t valueBytes) {
    s.data = frames != 0 ? readPlanarStereo(mixer, stream, frames, valueBytes) : nullptr;
    s.length = 2 * frames * valueBytes;
    if (s.data && !interleaveStereo(s.data, s.length, valueBytes)) {
        mixer.freeSampleData(s.data);
        s.data = nullptr;
    }
    s.clampLoopToData();
    return s.data || frames == 0;
}

bool readAdpcmData(InputStream& stream, S3mPlayer& player, S3mSample& s, bool found) {
    uint32_t held = found ? s.length : 0;
    s.data = held != 0 ? decodeModPlugAdpcm(*player.mixer, stream, held) : nullptr;
    s.cutToData(held, 1);
    if (!s.data)
        return s.length == 0;
    // The decoded values are signed; the mixer reads unsigned ones in unsigned songs.
    if (!player.song.signedSamples)
        for (uint32_t i = 0; i < s.length; ++i)
            s.data[i] ^= 0x80;
    s.clampLoopToData();
    return true;
}

// False when the load has to fail.
bool loadInstrument(InputStream& stream, S3mPlayer& player, S3mSample& s, uint32_t parapointer,
                    bool infoOnly) {
    ByteReader in(stream);
    uint8_t bytes[S3mInstrumentHeader::Size];
    if (!in.at(parapointer * 16).bytes(bytes, sizeof bytes).ok())
        return true; // a missing header only leaves the sample out
    const S3mInstrumentHeader h(bytes);
    copySampleName(s.name, h.name);
    if (h.type != S3mInstrumentHeader::DigitalSample)
        return true;
    const bool adpcm = h.packing == S3mInstrumentHeader::ModPlugAdpcm &&
                       !(h.flags & (S3mInstrument16Bit | S3mInstrumentStereo));
    if (!h.signature || (h.packing != 0 && !adpcm))
        return false;
    if (h.length == 0)
        return true;
    const bool sixteenBit = (h.flags & S3mInstrument16Bit) != 0;
    const bool stereo = (h.flags & S3mInstrumentStereo) != 0;
    const uint32_t valueBytes = sixteenBit ? 2 : 1;
    const uint32_t scale = valueBytes * (stereo ? 2 : 1);
    if (static_cast<uint64_t>(h.length) * scale > 0xFFFFFFFFu)
        return false; // more data than any file can hold
    s.length = h.length * scale;
    s.loopStart = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{h.loopStart} * scale, ~0u));
    s.loopEnd = static_cast<uint32_t>(std::min<uint64_t>(uint64_t{h.loopEnd} * scale, ~0u));
    s.volume = h.volume;
    s.middleCRate = h.middleCRate;
    s.present = true;
    std::memcpy(s.fileName, h.fileName, sizeof s.fileName);
    s.fileName[sizeof s.fileName - 1] = '\0';
    if (h.flags & S3mInstrumentLoop)
        s.flags |= SampleLoop;
    if (sixteenBit)
        s.flags |= Sample16Bit;
    if (stereo)
        s.flags |= SampleStereo;
    if (infoOnly)
        return true;
    const bool found = in.at(h.dataParapointer * 16).ok();
    if (adpcm)
        return readAdpcmData(stream, player, s, found);
    if (stereo)
        return readStereoData(stream, *player.mixer, s, found ? h.length : 0, valueBytes);
    s.cutToData(found ? in.left() : 0, scale);
    if (s.length == 0)
        return true;
    s.data = readSampleData(*player.mixer, stream, s.length);
    if (!s.data)
        return false;
    s.clampLoopToData();
    return true;
}

// Also past an end mark: the orders after one hold another tune.
bool namedInOrders(const Song& song, uint32_t pattern) {
    for (uint32_t i = 0; i < MaxOrders; ++i)
        if (song.orders[i] == static_cast<int32_t>(pattern))
            return true;
    return false;
}

// Marks the channels the pattern's cells name; false when its 64 rows hold no cell.
bool markUsedChannels(const HeapArray<uint8_t>& data, S3mPlayer& player) {
    bool found = false;
    std::size_t at = 0;
    for (uint32_t row = 0; row < S3mRows && at < data.size(); ++row) {
        while (at < data.size() && data[at] != 0) {
            const uint8_t what = data[at];
            player.channelUsed[what & S3mChannelMask] = true;
            found = true;
            at += 1 + ((what & S3mHasNote) ? 2 : 0) + ((what & S3mHasVolume) ? 1 : 0) +
                  ((what & S3mHasCommand) ? 2 : 0);
        }
        ++at; // the row's terminating 0
    }
    return found;
}

// Copies the packed patterns the order list names. A pattern the file cuts short ends the
// loading; the patterns copied before it stay. False when memory is short.
bool loadPatterns(InputStream& stream, S3mPlayer& player, const uint8_t* parapointers,
                  uint32_t count) {
    Song& song = player.song;
    for (uint32_t p = 0; p < count; ++p) {
        const uint32_t parapointer = readLe16(parapointers + p * 2);
        if (parapointer < LowestParapointer || !namedInOrders(song, p))
            continue;
        ByteReader in(stream);
        const uint32_t length = in.at(parapointer * 16).u16le();
        if (!in.ok() || length > in.left())
            return true;
        HeapArray<uint8_t>& data = song.patterns[p];
        if (!data.resize(length))
            return false;
        if (!in.bytes(data.data(), length).ok()) {
            data.clear();
            return true;
        }
        if (!markUsedChannels(data, player))
            data.clear();
    }
    return true;
}

// The song's settings from the header; false for a song without orders.
bool takeHeader(const S3mFileHeader& header, S3mPlayer& player) {
    Song& song = player.song;
    std::memcpy(song.title, header.title, S3mFileHeader::TitleLength);
    song.title[S3mFileHeader::TitleLength] = '\0';
    song.orderCount = static_cast<uint16_t>(std::min<uint32_t>(header.orderCount, MaxOrders));
    if (song.orderCount == 0)
        return false;
    player.s3mFlags = header.flags;
    if (header.flags & S3mAmigaLimits) {
        song.maxPeriod = 3424;
        song.minPeriod = 452;
    } else {
        song.maxPeriod = 0x7FFF;
        song.minPeriod = 24;
    }
    const uint32_t tracker = header.trackerVersion >> 12;
    if (tracker == ImpulseTracker)
        player.useExactPitch();
    player.separateMemories = tracker == ImpulseTracker || tracker == SchismTracker;
    song.signedSamples = header.sampleFormat == 1;
    // Above 64 the mixer volume would overflow its byte.
    song.initialGlobalVolume = std::min<uint8_t>(header.globalVolume, 64);
    song.initialSpeed = header.initialSpeed != 0 ? header.initialSpeed : 6;
    song.initialTempo = header.initialTempo > 32 ? header.initialTempo : 125;
    song.sampleCount = std::min<uint32_t>(header.instrumentCount, S3mMaxSamples);
    player.mono = (header.masterVolume & 0x80) == 0;
    return true;
}

} // namespace

uint32_t identifyS3m(InputStream& stream) {
    uint8_t header[96];
    if (!ByteReader(stream).at(0).bytes(header, sizeof header).ok())
        return IdentifyUnreadable;
    return std::memcmp(header + 44, "SCRM", 4) == 0 ? IdentifyMatch : IdentifyNotThisFormat;
}

std::unique_ptr<Player> loadS3m(InputStream& stream, bool infoOnly, Mixer* mixer) {
    std::unique_ptr<S3mPlayer> player(new (std::nothrow) S3mPlayer(mixer));
    if (!player)
        return nullptr;
    Song& song = player->song;

    ByteReader in(stream);
    uint8_t headerBytes[S3mFileHeader::Size];
    if (!in.at(0).bytes(headerBytes, sizeof headerBytes).ok())
        return nullptr;
    const S3mFileHeader header(headerBytes);
    if (!header.signature || header.fileType != S3mFileHeader::ModuleType ||
        !takeHeader(header, *player))
        return nullptr;

    HeapArray<uint8_t> orderBytes;
    HeapArray<uint8_t> parapointers;
    uint8_t pans[PanTableSize];
    in.block(header.orderCount, orderBytes);
    in.block((header.instrumentCount + header.patternCount) * 2, parapointers);
    if (!in.bytes(pans, PanTableSize).ok())
        return nullptr;
    convertOrders(orderBytes, song);
    setChannelPannings(*player, header, pans);

    for (uint32_t i = 0; i < song.sampleCount; ++i)
        if (!loadInstrument(stream, *player, player->samples[i], readLe16(&parapointers[i * 2]),
                            infoOnly))
            return nullptr;
    song.infoOnly = infoOnly;

    song.heldPatterns = std::min(header.patternCount, MaxPatterns);
    if (!loadPatterns(stream, *player, parapointers.data() + header.instrumentCount * 2,
                      song.heldPatterns))
        return nullptr;
    const auto used = std::count(player->channelUsed.begin(), player->channelUsed.end(), true);
    song.channelCount = used != 0 ? static_cast<uint32_t>(used) : 1;
    setSongPannings(*player, song);
    return player;
}

} // namespace tolva
