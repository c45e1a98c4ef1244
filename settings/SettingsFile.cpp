#include "settings/SettingsFile.h"

#include "platform/File.h"
#include "song/ByteOrder.h"
#include "song/FileStream.h"

#include <cstring>
#include <iterator>
#include <utility>

namespace tolva {

namespace {

// Field by field, so the file is the same whatever the machine's byte order.
class ByteWriter {
public:
    explicit ByteWriter(uint8_t* out) : out_(out) {}
    void u32(uint32_t v) { writeLe32(std::exchange(out_, out_ + 4), v); }
    void i16(int16_t v) { writeLe16(std::exchange(out_, out_ + 2), static_cast<uint16_t>(v)); }
    void u8(uint8_t v) { *out_++ = v; }

private:
    uint8_t* out_;
};

class ByteReader {
public:
    explicit ByteReader(const uint8_t* in) : in_(in) {}
    uint32_t u32() { return readLe32(std::exchange(in_, in_ + 4)); }
    int16_t i16() { return static_cast<int16_t>(readLe16(std::exchange(in_, in_ + 2))); }
    uint8_t u8() { return *in_++; }

private:
    const uint8_t* in_;
};

// The byte fields after `amp`, in file order; the format switches follow them.
constexpr uint8_t Settings::*ByteFields[] = {&Settings::outputBits,
                                             &Settings::stripTrailingEmptyPatterns,
                                             &Settings::removeSilence,
                                             &Settings::removeInitialSilence,
                                             &Settings::limitTrailingSilence,
                                             &Settings::loopByCount,
                                             &Settings::extraPlayTime,
                                             &Settings::oldProTrackerMode,
                                             &Settings::disableModPanning,
                                             &Settings::disableOversampling,
                                             &Settings::forceMono,
                                             &Settings::reverseStereo};

constexpr uint32_t Word32Fields = 6;
static_assert(Word32Fields * 4 + 2 + std::size(ByteFields) + FormatCount == SettingsFileSize);

} // namespace

void encodeSettings(const Settings& s, uint8_t (&bytes)[SettingsFileSize]) {
    ByteWriter out(bytes);
    out.u32(s.titleFormat);
    out.u32(s.lengthMode);
    out.u32(s.mixingFrequency);
    out.u32(s.trailingSilenceSeconds);
    out.u32(s.loopCount);
    out.u32(s.extraLoopSeconds);
    out.i16(s.amp);
    for (auto field : ByteFields)
        out.u8(s.*field);
    for (uint8_t flag : s.formatSwitches)
        out.u8(flag);
}

Settings decodeSettings(const uint8_t (&bytes)[SettingsFileSize]) {
    ByteReader in(bytes);
    Settings s;
    s.titleFormat = in.u32();
    s.lengthMode = in.u32();
    s.mixingFrequency = in.u32();
    s.trailingSilenceSeconds = in.u32();
    s.loopCount = in.u32();
    s.extraLoopSeconds = in.u32();
    s.amp = in.i16();
    for (auto field : ByteFields)
        s.*field = in.u8();
    for (uint8_t& flag : s.formatSwitches)
        flag = in.u8();
    return s;
}

bool loadSettings(const char* path, Settings& live) {
    if (!path || !*path)
        return false;
    uint8_t bytes[SettingsFileSize];
    FileStream file(path, platform::FileMode::Read);
    if (file.read(SettingsFileSize, bytes) != 0)
        return false;
    Settings loaded = decodeSettings(bytes);
    replaceUnusableFields(loaded);
    live = loaded;
    return true;
}

bool saveSettings(const char* path, const Settings& settings) {
    if (!path || !*path)
        return false;
    constexpr char Suffix[] = ".new";
    std::size_t length = std::strlen(path);
    char temporary[4096];
    if (length + sizeof(Suffix) > sizeof(temporary))
        return false;
    std::memcpy(temporary, path, length);
    std::memcpy(temporary + length, Suffix, sizeof(Suffix));

    uint8_t bytes[SettingsFileSize];
    encodeSettings(settings, bytes);
    bool written;
    {
        FileStream file(temporary, platform::FileMode::Write);
        written = file.write(SettingsFileSize, bytes) == 0;
    }
    if (written && platform::replaceFile(temporary, path))
        return true;
    platform::deleteFile(temporary);
    return false;
}

} // namespace tolva
