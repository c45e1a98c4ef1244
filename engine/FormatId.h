#pragma once
#include <cstdint>

namespace tolva {

// The formats the system plays, each described by one row of the format table
// (formats/FormatTable.cpp). A player's info().formatType() answers its id. The public C API
// numbers them id + 1, so ids never change and new formats take new ones.
enum : uint32_t {
    FormatMod = 0,
    Format669 = 1,
    FormatMtm = 2,
    FormatS3m = 3,
    FormatXm = 4,
    FormatIt = 5,
    FormatMod15 = 6,
    FormatCount = 7,
};

// What a format's identify tells the registry.
enum : uint32_t {
    IdentifyMatch = 0,         // the file is of this format: load it
    IdentifyUnreadable = 1,    // the stream could not be read: try the next format
    IdentifyUnsupported = 2,   // this format in a version that is not played: stop detection
    IdentifyNotThisFormat = 3, // try the next format
};

} // namespace tolva
