#include "formats/mtm669/Loader669.h"

#include "engine/FormatId.h"
#include "formats/mtm669/Player669.h"
#include "song/ByteOrder.h"
#include "song/ByteReader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tolva {

namespace {

constexpr uint32_t HeaderSize = 497;
constexpr uint32_t MessageLength = 108;
constexpr uint32_t OrderListOffset = 113;
constexpr uint32_t TempoListOffset = 241;
constexpr uint32_t BreakListOffset = 369;
constexpr uint32_t SampleHeaderSize = 25;
constexpr uint32_t FileNameLength = 13;
constexpr uint8_t OrderListEnd = 0xFF;

void readSampleHeader(ByteReader& in, Sample* s) {
    uint8_t h[SampleHeaderSize];
    in.bytes(h, SampleHeaderSize);
    if (!s)
        return; // beyond the sample table: read past and ignored
    std::memcpy(s->name, h, FileNameLength);
    s->name[FileNameLength] = '\0';
    s->length = readLe32(h + 13);
    s->loopStart = readLe32(h + 17);
    s->loopEnd = readLe32(h + 21);
    // Samples without a loop store a loop end far beyond their data.
    if (s->loopEnd <= s->length)
        s->flags |= SampleLoop;
}

// Reads the patterns the order list plays and steps over the others. Patterns beyond the tempo
// and break lists have no speed or length, so they are never kept.
void readPatterns(ByteReader& in, Song& song, uint32_t patternCount) {
    bool used[256] = {};
    for (uint32_t i = 0; i < ListLength669; ++i) {
        const int32_t entry = song.orders[i];
        if (entry >= 0 && static_cast<uint32_t>(entry) < std::min(patternCount, ListLength669))
            used[entry] = true;
    }
    for (uint32_t p = 0; p < patternCount && in.ok(); ++p) {
        if (!used[p]) {
            in.skip(PatternBytes669);
            continue;
        }
        HeapArray<uint8_t>& cells = song.patterns[p];
        // A pattern of nothing but zero bytes plays as a missing one.
        if (in.block(PatternBytes669, cells).ok() &&
            std::all_of(cells.begin(), cells.end(), [](uint8_t b) { return b == 0; }))
            cells.clear();
    }
}

} // namespace

uint32_t identify669(InputStream& stream) {
    uint8_t magic[2];
    if (!ByteReader(stream).at(0).bytes(magic, sizeof magic).ok())
        return IdentifyUnreadable;
    if (std::memcmp(magic, "if", 2) != 0 && std::memcmp(magic, "JN", 2) != 0)
        return IdentifyNotThisFormat;
    return IdentifyMatch;
}

std::unique_ptr<Player> load669(InputStream& stream, bool infoOnly, Mixer* mixer) {
    std::unique_ptr<Player669> player(new (std::nothrow) Player669(mixer));
    if (!player)
        return nullptr;
    Song& song = player->song;

    ByteReader in(stream);
    uint8_t h[HeaderSize];
    if (!in.at(0).bytes(h, HeaderSize).ok() ||
        (std::memcmp(h, "if", 2) != 0 && std::memcmp(h, "JN", 2) != 0))
        return nullptr;
    std::memcpy(song.title, h + 2, MessageLength);
    song.title[MessageLength] = '\0';

    for (uint32_t i = 0; i < ListLength669; ++i) {
        const uint8_t entry = h[OrderListOffset + i];
        song.orders[i] = entry == OrderListEnd ? int32_t{OrderEnd} : int32_t{entry};
    }
    song.orders[ListLength669] = OrderEnd;
    std::memcpy(player->tempoList.data(), h + TempoListOffset, ListLength669);
    std::memcpy(player->breakList.data(), h + BreakListOffset, ListLength669);

    // Headers beyond the sample table are read past, and their data is never reached.
    const uint32_t declaredSamples = h[110];
    song.sampleCount = std::min(declaredSamples, MaxSamples669);
    for (uint32_t i = 0; i < declaredSamples; ++i)
        readSampleHeader(in, i < MaxSamples669 ? &player->samples[i] : nullptr);
    readPatterns(in, song, h[111]);
    if (!in.ok())
        return nullptr;
    song.heldPatterns = std::min<uint32_t>(h[111], ListLength669);

    song.infoOnly = infoOnly;
    if (!infoOnly && !player->loadAllSamples(stream))
        return nullptr;
    return player;
}

} // namespace tolva
