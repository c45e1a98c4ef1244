#include "formats/mtm669/MtmLoader.h"

#include "engine/FormatId.h"
#include "formats/mtm669/CommentText.h"
#include "formats/mtm669/MtmPlayer.h"
#include "song/ByteOrder.h"
#include "song/ByteReader.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace tolva {

namespace {

constexpr uint32_t HeaderSize = 66;
constexpr uint32_t TitleLength = 20;
constexpr uint32_t SampleHeaderSize = 37;
constexpr uint32_t SampleNameLength = 22;
constexpr uint32_t StoredOrders = 128;
constexpr uint32_t MinLoopBytes = 7; // shorter loops are not played as loops

void readSampleHeader(ByteReader& in, Sample* s) {
    uint8_t h[SampleHeaderSize];
    in.bytes(h, SampleHeaderSize);
    if (!s)
        return; // beyond the sample table: read past and ignored
    std::memcpy(s->name, h, SampleNameLength);
    s->name[SampleNameLength] = '\0';
    s->length = readLe32(h + 22);
    s->loopStart = readLe32(h + 26);
    s->loopEnd = readLe32(h + 30);
    s->finetune = static_cast<int8_t>(h[34] & 15);
    s->volume = h[35];
    if (s->loopEnd - s->loopStart >= MinLoopBytes)
        s->flags |= SampleLoop;
    if (h[36] & 1)
        s->flags |= Sample16Bit;
}

// Channel slots that play a track in some pattern of the order list.
uint32_t usedSlots(MtmPlayer& player) {
    bool used[MtmChannelSlots] = {};
    for (uint32_t i = 0; i < MaxOrders && player.song.orders[i] >= 0; ++i)
        for (uint32_t slot = 0; slot < MtmChannelSlots; ++slot)
            used[slot] = used[slot] ||
                         player.trackNumber(static_cast<uint32_t>(player.song.orders[i]), slot);
    return static_cast<uint32_t>(std::count(std::begin(used), std::end(used), true));
}

} // namespace

uint32_t identifyMtm(InputStream& stream) {
    uint8_t magic[4];
    if (!ByteReader(stream).at(0).bytes(magic, sizeof magic).ok())
        return IdentifyUnreadable;
    return std::memcmp(magic, "MTM", 3) == 0 ? IdentifyMatch : IdentifyNotThisFormat;
}

std::unique_ptr<Player> loadMtm(InputStream& stream, bool infoOnly, Mixer* mixer) {
    std::unique_ptr<MtmPlayer> player(new (std::nothrow) MtmPlayer(mixer));
    if (!player)
        return nullptr;
    Song& song = player->song;

    ByteReader in(stream);
    uint8_t h[HeaderSize];
    if (!in.at(0).bytes(h, HeaderSize).ok() || std::memcmp(h, "MTM", 3) != 0)
        return nullptr;
    std::memcpy(song.title, h + 4, TitleLength);
    song.title[TitleLength] = '\0';
    player->trackCount = readLe16(h + 24);
    player->lastPattern = h[26];
    song.heldPatterns = player->lastPattern + 1u;
    // The file holds 128 order bytes; a longer list is cut to them.
    const uint32_t orderCount = std::min<uint32_t>(h[27] + 1u, StoredOrders);
    song.orderCount = static_cast<uint16_t>(orderCount);
    const uint32_t commentLength = readLe16(h + 28);
    song.rowsPerPattern = std::min<uint32_t>(h[32], MtmTrackRows);
    song.pannings.fill({});
    for (uint32_t i = 0; i < MtmChannelSlots; ++i)
        song.pannings[i].panning = static_cast<uint8_t>((h[34 + i] & 15) | h[34 + i] << 4);

    // Headers beyond the sample table are read past, and their data is never reached.
    song.sampleCount = std::min<uint32_t>(h[30], MtmMaxSamples);
    for (uint32_t i = 0; i < h[30]; ++i)
        readSampleHeader(in, i < MtmMaxSamples ? &player->samples[i] : nullptr);
    uint8_t orderBytes[StoredOrders];
    in.bytes(orderBytes, StoredOrders);
    in.block(uint64_t{player->trackCount} * MtmTrackBytes, player->trackData);
    in.block((uint64_t{player->lastPattern} + 1) * MtmPatternEntryBytes, song.patterns[0]);
    HeapArray<uint8_t> comment;
    in.block(commentLength, comment);
    if (!in.ok())
        return nullptr;
    for (uint32_t i = 0; i < orderCount; ++i)
        song.orders[i] = orderBytes[i];
    song.orders[orderCount] = OrderEnd;
    // MultiTracker plays the channels its header names, whether their slots hold tracks or not;
    // a header without a usable count leaves the slots that play tracks.
    const uint8_t headerChannels = h[33];
    song.channelCount = headerChannels != 0 && headerChannels <= MtmChannelSlots
                            ? headerChannels
                            : usedSlots(*player);

    if (!commentText(comment.data(), commentLength, player->message))
        return nullptr;

    song.infoOnly = infoOnly;
    if (!infoOnly && !player->loadAllSamples(stream))
        return nullptr;
    return player;
}

} // namespace tolva
