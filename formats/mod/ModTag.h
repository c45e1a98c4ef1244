#pragma once
#include <cstdint>

namespace tolva {

class InputStream;

constexpr uint32_t ModTagOffset = 1080;
constexpr uint32_t ModTagMK = 0x4D2E4B2E;   // "M.K."
constexpr uint32_t ModTagMK2 = 0x4D214B21;  // "M!K!": patterns up to 127
constexpr uint32_t ModTagFlt8 = 0x464C5438; // "FLT8": 8 channels in pairs of 4-channel patterns

// Channel count named by the four tag bytes; 0 when they are no known tag.
uint32_t modTagChannels(const uint8_t tag[4]);

// Ice Tracker ("IT10") and MnemoTroN SoundTracker ("MTN\0") put their tag at offset 1464,
// after a table of tracks; true when the stream holds one of them there.
bool hasIceTag(InputStream& stream);

// Reads the tag at offset 1080; a failed read counts as no tag. The tag bytes go to tagValue
// (big-endian, so "M!K!" is ModTagMK2) when it is given.
uint32_t findModTag(InputStream& stream, uint32_t* tagValue = nullptr);

// Match (0) for a file with a known tag or an Ice Tracker tag, else 3.
uint32_t identifyMod(InputStream& stream);

// The older form without a tag: match (0) when the file loads as a 15-sample MOD, else 1.
uint32_t identifyMod15(InputStream& stream);

} // namespace tolva
