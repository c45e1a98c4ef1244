#include "formats/mod/ModLoader.h"

#include "engine/Tables.h"
#include "formats/mod/ModPlayer.h"
#include "formats/mod/ModTag.h"
#include "song/ByteOrder.h"
#include "song/ByteReader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <optional>

namespace tolva {

namespace {

constexpr uint32_t TitleLength = 20;
constexpr uint32_t SampleHeaderSize = 30;
constexpr uint32_t SampleNameLength = 22;
constexpr uint32_t OrderBlockSize = 130; // song length, restart byte, 128 order bytes
constexpr uint32_t StoredOrders = 128;
constexpr uint32_t MinLoopBytes = 4;  // a one-word loop marks a sample that plays once
constexpr uint32_t StubLoopBytes = 8; // the most a loop left at the start by an editor spans
constexpr uint32_t CellBytes = 4;
constexpr int32_t PeriodTolerance = 5; // periods -5..+4 away still name a note
constexpr uint32_t ModsGraveChannels = 8;

// Note of a period: the first of period-5 .. period+4 found in the period table.
class PeriodToNote {
public:
    PeriodToNote() {
        indexOf_.fill(0);
        for (uint32_t i = PeriodTableLength; i-- > 0;)
            indexOf_[periodTable[i]] = static_cast<uint8_t>(i + 1);
    }

    uint8_t operator()(uint32_t period) const {
        for (int32_t d = -PeriodTolerance; d < PeriodTolerance; ++d) {
            const int32_t candidate = static_cast<int32_t>(period) + d;
            if (candidate >= 0 && candidate < static_cast<int32_t>(indexOf_.size()) &&
                indexOf_[candidate] != 0)
                return indexOf_[candidate];
        }
        return 0;
    }

private:
    std::array<uint8_t, 1713> indexOf_; // 1-based note of each period, 0 = none
};

// Two words and more loop, as on the Amiga, except a loop of a few bytes at the start of a
// longer sample: editors left such loops on samples meant to play once.
bool isPlayedLoop(const Sample& s) {
    const uint32_t loopBytes = s.loopEnd - s.loopStart;
    if (s.loopStart == 0 && loopBytes <= StubLoopBytes && s.loopEnd < s.length)
        return false;
    return loopBytes >= MinLoopBytes;
}

// A header the file is too short for leaves the reader failed.
void readSampleHeader(ByteReader& in, Sample& s, bool fifteenSamples) {
    uint8_t h[SampleHeaderSize];
    if (!in.bytes(h, SampleHeaderSize).ok())
        return;
    std::memcpy(s.name, h, SampleNameLength);
    s.name[SampleNameLength] = '\0';
    const uint32_t lengthWords = readBe16(h + 22);
    if (lengthWords == 0)
        return;
    s.length = lengthWords * 2;
    // Soundtracker counted the loop start in bytes, ProTracker in words.
    s.loopStart = readBe16(h + 26) * (fifteenSamples ? 1 : 2);
    s.loopEnd = s.loopStart + readBe16(h + 28) * 2;
    s.finetune = static_cast<int8_t>(h[24]);
    s.volume = h[25];
    if (isPlayedLoop(s))
        s.flags |= SampleLoop;
    // Soundtracker knew no louder sample: such a file is no 15-sample MOD.
    if (fifteenSamples && s.volume > 64)
        in.fail();
}

// Turns two 4-channel patterns stored one after the other into one 8-channel pattern; false
// when memory is short.
bool interleaveHalves(HeapArray<uint8_t>& pattern) {
    HeapArray<uint8_t> halves;
    if (!halves.resize(pattern.size()))
        return false;
    std::copy(pattern.begin(), pattern.end(), halves.begin());
    const std::size_t half = halves.size() / 2;
    const std::size_t rowBytes = half / ModRows;
    for (std::size_t row = 0; row < ModRows; ++row) {
        std::copy_n(&halves[row * rowBytes], rowBytes, &pattern[row * 2 * rowBytes]);
        std::copy_n(&halves[half + row * rowBytes], rowBytes, &pattern[(row * 2 + 1) * rowBytes]);
    }
    return true;
}

// Converts one pattern from file cells to stored cells; false when a cell is refused or memory
// is short.
bool convertPattern(const uint8_t* in, uint32_t cells, bool fifteenSamples,
                    const PeriodToNote& noteOf, HeapArray<uint8_t>& out) {
    if (!out.resize(static_cast<std::size_t>(cells) * ModCellSize))
        return false;
    uint8_t* o = out.data();
    for (uint32_t c = 0; c < cells; ++c, in += CellBytes, o += ModCellSize) {
        const uint32_t period = readBe16(in) & 0x0FFFu;
        const uint32_t sampleNumber = (in[0] & 0x10u) | in[2] >> 4;
        if (fifteenSamples && sampleNumber > 15)
            return false;
        const uint32_t word = noteOf(period) | (in[2] & 0x0Fu) << 7 | sampleNumber << 11;
        o[0] = static_cast<uint8_t>(word);
        o[1] = static_cast<uint8_t>(word >> 8);
        o[2] = in[3];
    }
    return true;
}

uint64_t sampleBytes(const ModPlayer& player) {
    uint64_t bytes = 0;
    for (const Sample& s : player.samples)
        bytes += s.length;
    return bytes;
}

// Mod's Grave wrote its 8-channel songs under ProTracker's "M.K." with restart byte 0. Such a
// file is recognised by its size, which fits 8-channel patterns and the samples exactly, and
// by cells that all name notes when read as 8 channels. The stream is left where it was. No
// answer when memory is short.
std::optional<bool> isModsGraveFile(InputStream& stream, const ModPlayer& player, uint32_t patterns,
                                    const PeriodToNote& noteOf) {
    ByteReader in(stream);
    const uint32_t position = in.position();
    const uint64_t patternBytes = uint64_t{patterns} * ModsGraveChannels * ModRows * CellBytes;
    if (position + patternBytes + sampleBytes(player) != in.size())
        return false;
    HeapArray<uint8_t> cells;
    if (!cells.resize(static_cast<std::size_t>(patternBytes)))
        return std::nullopt;
    const bool read = in.bytes(cells.data(), static_cast<uint32_t>(patternBytes)).ok();
    ByteReader(stream).at(position);
    if (!read)
        return false;
    for (std::size_t c = 0; c < cells.size(); c += CellBytes) {
        const uint32_t period = readBe16(&cells[c]) & 0x0FFFu;
        if (period != 0 && noteOf(period) == 0)
            return false;
    }
    return true;
}

// Ice Tracker keeps 64-row tracks of one channel each, and for every order the four tracks it
// plays: each order becomes a pattern of its own.
bool loadIceTracks(ByteReader& in, Song& song, const PeriodToNote& noteOf) {
    constexpr uint32_t TrackBytes = ModRows * CellBytes;
    const uint32_t orderCount = in.u8();
    const uint32_t trackCount = in.u8();
    uint8_t table[StoredOrders * 4];
    in.bytes(table, sizeof table).skip(4); // the tag
    HeapArray<uint8_t> tracks;
    if (!in.block(trackCount * TrackBytes, tracks).ok())
        return false;
    song.orderCount = static_cast<uint16_t>(std::min<uint32_t>(orderCount, StoredOrders));
    HeapArray<uint8_t> cells;
    if (!cells.resize(4 * TrackBytes))
        return false;
    for (uint32_t order = 0; order < song.orderCount; ++order) {
        for (uint32_t c = 0; c < 4; ++c) {
            const uint32_t track = table[order * 4 + c];
            if (track >= trackCount)
                return false;
            for (uint32_t row = 0; row < ModRows; ++row)
                std::copy_n(&tracks[track * TrackBytes + row * CellBytes], CellBytes,
                            &cells[(row * 4 + c) * CellBytes]);
        }
        song.orders[order] = static_cast<int32_t>(order);
        if (!convertPattern(cells.data(), 4 * ModRows, false, noteOf, song.patterns[order]))
            return false;
    }
    song.orders[song.orderCount] = OrderEnd;
    song.heldPatterns = song.orderCount;
    return true;
}

// The highest pattern the whole order block names, and the highest the song's own orders name.
struct NamedPatterns {
    uint32_t inBlock = 0;
    uint32_t inSong = 0;
};

// The order list from the order block, and the patterns it names. StarTrekker's 8-channel
// pattern k is the 4-channel patterns 2k and 2k+1 side by side; the order list names the first
// of the two.
NamedPatterns readOrders(const uint8_t* orderBlock, Song& song, uint32_t tag) {
    // The file holds 128 order bytes; a longer song length is cut to them.
    song.orderCount = static_cast<uint16_t>(std::min<uint32_t>(orderBlock[0], StoredOrders));
    const uint32_t patternLimit = tag == ModTagMK2 ? 127 : 63;
    NamedPatterns named;
    for (uint32_t i = 0; i < StoredOrders; ++i) {
        const uint8_t entry = orderBlock[2 + i] / (tag == ModTagFlt8 ? 2 : 1);
        song.orders[i] = entry;
        if (entry > patternLimit)
            continue;
        named.inBlock = std::max<uint32_t>(named.inBlock, entry);
        if (i < song.orderCount)
            named.inSong = std::max<uint32_t>(named.inSong, entry);
    }
    song.orders[song.orderCount] = OrderEnd;
    return named;
}

// ProTracker stores every pattern the order block names, but some Soundtracker-era files keep
// stray entries past the song length whose patterns were never stored: where the file is too
// short for them and holds exactly the song's own patterns and the samples, only those count.
uint32_t storedPatterns(ByteReader& in, const ModPlayer& player, NamedPatterns named) {
    const uint64_t patternBytes = uint64_t{player.song.channelCount} * ModRows * CellBytes;
    const uint64_t room = in.size() - std::min<uint64_t>(in.position(), in.size());
    if ((named.inBlock + 1) * patternBytes <= room ||
        (named.inSong + 1) * patternBytes + sampleBytes(player) != room)
        return named.inBlock + 1;
    return named.inSong + 1;
}

// Soundtracker's byte after the song length sets the Amiga's timer to a tick every (240 - b) *
// 122 counts; 0 and 120 (ProTracker's 125 BPM) leave the default, values from 239 on name no rate.
void readSoundtrackerTimer(uint8_t b, Song& song) {
    if (b == 0 || b == 120 || b >= 239)
        return;
    song.timerCounts = (240u - b) * 122u;
    // The nearest tempo, for display: 2.5 ticks a second for each beat a minute, 709379 counts
    // a second.
    song.initialTempo = (5 * 709379 + song.timerCounts) / (2 * song.timerCounts);
}

bool readPatterns(ByteReader& in, Song& song, uint32_t count, uint32_t tag, bool fifteenSamples,
                  const PeriodToNote& noteOf) {
    const uint32_t patternBytes = song.channelCount * ModRows * CellBytes;
    song.heldPatterns = count;
    HeapArray<uint8_t> buffer;
    for (uint32_t p = 0; p < count; ++p) {
        if (!in.block(patternBytes, buffer).ok())
            return false;
        if (tag == ModTagFlt8 && !interleaveHalves(buffer))
            return false;
        // An all-zero pattern is not kept: it plays as a missing one.
        if (std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0; }))
            continue;
        if (!convertPattern(buffer.data(), song.channelCount * ModRows, fifteenSamples, noteOf,
                            song.patterns[p]))
            return false;
    }
    return true;
}

std::unique_ptr<Player> withSamples(std::unique_ptr<ModPlayer> player, InputStream& stream,
                                    bool infoOnly) {
    player->song.infoOnly = infoOnly;
    if (infoOnly)
        return player;
    // ModPlug Tracker saves MOD samples as ADPCM when asked to.
    if (!player->loadAllSamples(stream, true))
        return nullptr;
    return player;
}

} // namespace

std::unique_ptr<Player> loadMod(InputStream& stream, bool infoOnly, Mixer* mixer) {
    const bool ice = hasIceTag(stream);
    uint32_t tag = 0;
    const uint32_t tagChannels = ice ? 4 : findModTag(stream, &tag);
    const bool fifteenSamples = tagChannels == 0;
    if (tagChannels > ModMaxChannels)
        return nullptr;

    std::unique_ptr<ModPlayer> player(new (std::nothrow) ModPlayer(mixer));
    if (!player)
        return nullptr;
    Song& song = player->song;
    song.sampleCount = fifteenSamples ? 15 : ModMaxSamples;
    song.channelCount = fifteenSamples ? 4 : tagChannels;
    // ProTracker keeps slides within the three octaves of its period table.
    song.minPeriod = 113;
    song.maxPeriod = 856;

    ByteReader in(stream);
    in.at(0).bytes(song.title, TitleLength);
    song.title[TitleLength] = '\0';
    for (uint32_t i = 0; i < song.sampleCount; ++i)
        readSampleHeader(in, player->samples[i], fifteenSamples);
    const PeriodToNote noteOf;
    if (ice)
        return loadIceTracks(in, song, noteOf) ? withSamples(std::move(player), stream, infoOnly)
                                               : nullptr;

    uint8_t orderBlock[OrderBlockSize];
    // The tag after the order list, which 15-sample files lack.
    if (!in.bytes(orderBlock, OrderBlockSize).skip(fifteenSamples ? 0 : 4).ok())
        return nullptr;
    const NamedPatterns named = readOrders(orderBlock, song, tag);
    if (fifteenSamples)
        readSoundtrackerTimer(orderBlock[1], song);

    if (tag == ModTagMK && orderBlock[1] == 0) {
        const std::optional<bool> modsGrave =
            isModsGraveFile(stream, *player, named.inBlock + 1, noteOf);
        if (!modsGrave)
            return nullptr;
        if (*modsGrave)
            song.channelCount = ModsGraveChannels;
    }

    if (!readPatterns(in, song, storedPatterns(in, *player, named), tag, fifteenSamples, noteOf))
        return nullptr;
    return withSamples(std::move(player), stream, infoOnly);
}

} // namespace tolva
