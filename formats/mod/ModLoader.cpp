#include "formats/mod/ModLoader.h"

#include "engine/Tables.h"
#include "formats/mod/ModPlayer.h"
#include "formats/mod/ModTag.h"
#include "song/BoundedReads.h"
#include "song/ByteOrder.h"
#include "song/InputStream.h"

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
constexpr uint32_t MinLoopBytes = 12; // shorter loops are not played as loops
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

bool readSampleHeader(InputStream& stream, Sample& s, bool fifteenSamples, bool& refused) {
    uint8_t h[SampleHeaderSize];
    if (stream.read(SampleHeaderSize, h) != 0)
        return false; // a missing header leaves the sample absent
    std::memcpy(s.name, h, SampleNameLength);
    s.name[SampleNameLength] = '\0';
    const uint32_t lengthWords = readBe16(h + 22);
    if (lengthWords == 0)
        return true;
    s.length = lengthWords * 2;
    // Soundtracker counted the loop start in bytes, ProTracker in words.
    s.loopStart = readBe16(h + 26) * (fifteenSamples ? 1 : 2);
    s.loopEnd = s.loopStart + readBe16(h + 28) * 2;
    s.finetune = static_cast<int8_t>(h[24]);
    s.volume = h[25];
    if (s.loopEnd - s.loopStart >= MinLoopBytes)
        s.flags |= SampleLoop;
    if (fifteenSamples && s.volume > 64)
        refused = true;
    return true;
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

// Mod's Grave wrote its 8-channel songs under ProTracker's "M.K." with restart byte 0. Such a
// file is recognised by its size, which fits 8-channel patterns and the samples exactly, and
// by cells that all name notes when read as 8 channels. The stream is left where it was. No
// answer when memory is short.
std::optional<bool> isModsGraveFile(InputStream& stream, const ModPlayer& player, uint32_t patterns,
                                    const PeriodToNote& noteOf) {
    uint64_t sampleBytes = 0;
    for (const Sample& s : player.samples)
        sampleBytes += s.length;
    const uint32_t position = streamPosition(stream);
    const uint64_t patternBytes = uint64_t{patterns} * ModsGraveChannels * ModRows * CellBytes;
    if (position + patternBytes + sampleBytes != stream.size())
        return false;
    HeapArray<uint8_t> cells;
    if (!cells.resize(static_cast<std::size_t>(patternBytes)))
        return std::nullopt;
    const bool read = stream.read(static_cast<uint32_t>(patternBytes), cells.data()) == 0;
    seekTo(stream, position);
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
bool loadIceTracks(InputStream& stream, Song& song, const PeriodToNote& noteOf) {
    uint8_t counts[2];
    uint8_t table[StoredOrders * 4];
    uint8_t tag[4];
    if (stream.read(2, counts) != 0 || stream.read(sizeof table, table) != 0 ||
        stream.read(4, tag) != 0)
        return false;
    constexpr uint32_t TrackBytes = ModRows * CellBytes;
    const uint32_t trackCount = counts[1];
    if (uint64_t{trackCount} * TrackBytes > bytesLeft(stream))
        return false;
    HeapArray<uint8_t> tracks;
    if (!tracks.resize(trackCount * TrackBytes))
        return false;
    if (!tracks.empty() && stream.read(static_cast<uint32_t>(tracks.size()), tracks.data()) != 0)
        return false;
    song.orderCount = static_cast<uint8_t>(std::min<uint32_t>(counts[0], StoredOrders));
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

    char title[TitleLength];
    if (!readAt(stream, 0, TitleLength, title))
        return nullptr;
    std::memcpy(song.title, title, TitleLength);
    song.title[TitleLength] = '\0';

    bool refused = false;
    for (uint32_t i = 0; i < song.sampleCount; ++i)
        readSampleHeader(stream, player->samples[i], fifteenSamples, refused);
    if (refused)
        return nullptr;
    const PeriodToNote noteOf;
    if (ice)
        return loadIceTracks(stream, song, noteOf)
                   ? withSamples(std::move(player), stream, infoOnly)
                   : nullptr;

    uint8_t orderBlock[OrderBlockSize];
    if (stream.read(OrderBlockSize, orderBlock) != 0)
        return nullptr;
    // The file holds 128 order bytes; a longer song length is cut to them.
    song.orderCount = static_cast<uint8_t>(std::min<uint32_t>(orderBlock[0], StoredOrders));
    // StarTrekker's 8-channel pattern k is the 4-channel patterns 2k and 2k+1 side by side;
    // the order list names the first of the two.
    const bool pairedPatterns = tag == ModTagFlt8;
    const uint32_t patternLimit = tag == ModTagMK2 ? 127 : 63;
    uint32_t highestPattern = 0;
    for (uint32_t i = 0; i < StoredOrders; ++i) {
        const uint8_t entry = orderBlock[2 + i] / (pairedPatterns ? 2 : 1);
        song.orders[i] = entry;
        if (entry <= patternLimit)
            highestPattern = std::max<uint32_t>(highestPattern, entry);
    }
    song.orders[song.orderCount] = OrderEnd;

    if (!fifteenSamples) {
        uint8_t skipped[4];
        if (stream.read(4, skipped) != 0)
            return nullptr;
    }
    if (tag == ModTagMK && orderBlock[1] == 0) {
        const std::optional<bool> modsGrave =
            isModsGraveFile(stream, *player, highestPattern + 1, noteOf);
        if (!modsGrave)
            return nullptr;
        if (*modsGrave)
            song.channelCount = ModsGraveChannels;
    }

    const uint32_t patternBytes = song.channelCount * ModRows * CellBytes;
    if (static_cast<uint64_t>(highestPattern + 1) * patternBytes > bytesLeft(stream))
        return nullptr;

    HeapArray<uint8_t> buffer;
    if (!buffer.resize(patternBytes))
        return nullptr;
    for (uint32_t p = 0; p <= highestPattern; ++p) {
        if (stream.read(patternBytes, buffer.data()) != 0)
            return nullptr;
        if (pairedPatterns && !interleaveHalves(buffer))
            return nullptr;
        // An all-zero pattern is not kept: it plays as a missing one.
        if (std::all_of(buffer.begin(), buffer.end(), [](uint8_t b) { return b == 0; }))
            continue;
        if (!convertPattern(buffer.data(), song.channelCount * ModRows, fifteenSamples, noteOf,
                            song.patterns[p]))
            return nullptr;
    }

    return withSamples(std::move(player), stream, infoOnly);
}

} // namespace tolva
