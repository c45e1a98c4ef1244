#pragma once
#include "formats/it/ItHeader.h"
#include "formats/it/ItInstrument.h"
#include "formats/it/ItMacros.h"
#include "formats/it/ItSample.h"
#include "platform/HeapArray.h"

#include <array>
#include <cstdint>

namespace tolva {

class InputStream;
class Mixer;
struct Song;

constexpr uint32_t ItMaxInstruments = 199;
constexpr uint32_t ItMaxSamples = 199;
constexpr uint32_t ItMaxPatternOffsets = 200; // later patterns play as empty ones

// Everything an IT file holds beside the shared song part. Sample data blocks belong to the
// Mixer.
struct ItModule {
    ItHeader header;
    // Song message with a LF after every CR and a closing NUL; empty when there is none.
    HeapArray<char> message;
    uint32_t instrumentCount = 0; // the header's counts, limited to the tables below
    uint32_t sampleCount = 0;
    std::array<ItInstrument, ItMaxInstruments> instruments;
    std::array<ItSample, ItMaxSamples> samples;
    ItMacros macros;
};

enum class ItLoadError {
    None,
    ShortHeader,
    NoOrders,
    NoPatterns,
    OrderList,
    Pattern,
    SampleHeader,
    SampleTooLong,
    SampleData,
    Instrument,
    NoMixer,
    OutOfMemory,
};

// Why a file was refused, for tests and tools.
const char* itLoadErrorText(ItLoadError error);

// Reads a whole IT file into `song` and `module`. With `infoOnly` no sample data is read and
// `mixer` may be null. On failure the sample blocks already loaded stay in `module` (the
// first song.sampleCount samples) for their owner to release.
ItLoadError loadItModule(InputStream& stream, bool infoOnly, Mixer* mixer, Song& song,
                         ItModule& module);

} // namespace tolva
