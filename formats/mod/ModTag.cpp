#include "formats/mod/ModTag.h"

#include "engine/FormatId.h"
#include "formats/mod/ModLoader.h"
#include "song/ByteOrder.h"
#include "song/ByteReader.h"

#include <cstring>

namespace tolva {

namespace {

struct KnownTag {
    char text[4];
    uint32_t channels;
};

// ProTracker's and those of the trackers that wrote the same layout under their own tag:
// StarTrekker, NoiseTracker, His Master's Noise, Digital Tracker, Octalyser, TakeTracker (which
// also wrote songs of one to three channels) and others.
constexpr KnownTag knownTags[] = {
    {{'M', '.', 'K', '.'}, 4}, {{'M', '!', 'K', '!'}, 4}, {{'M', '&', 'K', '!'}, 4},
    {{'F', 'L', 'T', '4'}, 4}, {{'N', '.', 'T', '.'}, 4}, {{'F', 'E', 'S', 'T'}, 4},
    {{'N', 'S', 'M', 'S'}, 4}, {{'E', 'X', 'O', '4'}, 4}, {{'T', 'D', 'Z', '4'}, 4},
    {{'T', 'D', 'Z', '1'}, 1}, {{'T', 'D', 'Z', '2'}, 2}, {{'T', 'D', 'Z', '3'}, 3},
    {{'F', 'A', '0', '4'}, 4}, {{'F', 'A', '0', '6'}, 6}, {{'F', 'A', '0', '8'}, 8},
    {{'C', 'D', '6', '1'}, 6}, {{'C', 'D', '8', '1'}, 8}, {{'O', 'C', 'T', 'A'}, 8},
    {{'F', 'L', 'T', '8'}, 8},
};

bool isDigit(uint8_t c) {
    return c >= '0' && c <= '9';
}

} // namespace

uint32_t modTagChannels(const uint8_t tag[4]) {
    if (tag[2] == 'C' && tag[3] == 'H' && isDigit(tag[0]) && isDigit(tag[1]))
        return (tag[0] - '0') * 10u + (tag[1] - '0');
    if (tag[1] == 'C' && tag[2] == 'H' && tag[3] == 'N' && isDigit(tag[0]))
        return tag[0] - '0';
    for (const KnownTag& known : knownTags)
        if (std::memcmp(known.text, tag, 4) == 0)
            return known.channels;
    return 0;
}

bool hasIceTag(InputStream& stream) {
    constexpr uint32_t IceTagOffset = 1464;
    uint8_t tag[4];
    if (!ByteReader(stream).at(IceTagOffset).bytes(tag, sizeof tag).ok())
        return false;
    return std::memcmp(tag, "IT10", 4) == 0 || std::memcmp(tag, "MTN\0", 4) == 0;
}

uint32_t findModTag(InputStream& stream, uint32_t* tagValue) {
    uint8_t tag[4];
    if (!ByteReader(stream).at(ModTagOffset).bytes(tag, sizeof tag).ok())
        return 0;
    if (tagValue)
        *tagValue = readBe32(tag);
    return modTagChannels(tag);
}

uint32_t identifyMod(InputStream& stream) {
    return findModTag(stream) != 0 || hasIceTag(stream) ? IdentifyMatch : IdentifyNotThisFormat;
}

uint32_t identifyMod15(InputStream& stream) {
    if (findModTag(stream) != 0)
        return IdentifyUnreadable;
    return loadMod(stream, true, nullptr) ? IdentifyMatch : IdentifyUnreadable;
}

} // namespace tolva
