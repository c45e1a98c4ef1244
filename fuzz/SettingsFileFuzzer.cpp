// Hostile settings files: whatever the file holds, the loaded record must be one the rest of
// the system can use, and a song scanned and played under it must end without a fault.
#include "formats/SongPipeline.h"
#include "settings/SettingsConversion.h"
#include "settings/SettingsFile.h"
#include "song/MemoryStream.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using namespace tolva;

// Ten minutes of song time keep the runs quick; the scan's own bound has a test of its own.
constexpr uint32_t ScanSeconds = 10 * 60;

// A four-channel MOD whose one pattern jumps back to its start after four rows, so every
// length and loop setting has something to act on.
std::vector<uint8_t> loopingMod() {
    constexpr uint32_t SampleWords = 16;
    std::vector<uint8_t> bytes(1084 + 1024 + 2 * SampleWords, 0);
    uint8_t* sample = &bytes[20];
    sample[22] = 0;
    sample[23] = SampleWords;
    sample[25] = 64;
    sample[29] = SampleWords;
    bytes[950] = 1;
    bytes[951] = 127;
    bytes[1080] = 'M';
    bytes[1081] = '.';
    bytes[1082] = 'K';
    bytes[1083] = '.';
    uint8_t* pattern = &bytes[1084];
    const uint8_t noteOnSample1[] = {0x01, 0xAC, 0x10, 0x00};
    const uint8_t jumpToStart[] = {0x00, 0x00, 0x0B, 0x00};
    std::copy(std::begin(noteOnSample1), std::end(noteOnSample1), pattern);
    std::copy(std::begin(jumpToStart), std::end(jumpToStart), pattern + 3 * 16 + 4);
    for (uint32_t i = 0; i < 2 * SampleWords; ++i)
        bytes[1084 + 1024 + i] = (i & 8) ? 0x40 : 0xC0;
    return bytes;
}

const std::filesystem::path& scratchFile() {
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("tolva-settings-" + std::to_string(std::random_device{}()) + ".dat");
    return path;
}

bool usable(const Settings& s) {
    return s.titleFormat <= 2 && s.lengthMode <= LengthDetectLoop &&
           s.mixingFrequency >= MinMixingFrequency && s.mixingFrequency <= MaxMixingFrequency &&
           (s.outputBits == 8 || s.outputBits == 16 || s.outputBits == 32) && s.amp >= -MaxAmp &&
           s.amp <= MaxAmp;
}

void playUnder(const Settings& settings) {
    static const std::vector<uint8_t> bytes = loopingMod();
    LoadOptions options = loadOptions(settings);
    options.maxScanSeconds = ScanSeconds;
    LoadedSong song;
    if (loadSongMemory(bytes.data(), bytes.size(), options, song) != LoadFailure::None)
        return;
    startPlayback(song, settings.mixingFrequency);

    constexpr uint32_t BlockFrames = 576;
    std::vector<int32_t> block(2 * BlockFrames);
    const RenderFormat format = renderFormat(options.song, settings.outputBits);
    for (uint32_t played = 0; played < settings.mixingFrequency; played += BlockFrames)
        if (song.session->renderFrames(BlockFrames, block.data(), &format) == 0)
            break;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        std::ofstream out(scratchFile(), std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    Settings live;
    const bool loaded = loadSettings(scratchFile().string().c_str(), live);
    std::error_code ignored;
    std::filesystem::remove(scratchFile(), ignored);

    if (loaded != (size >= SettingsFileSize))
        __builtin_trap();
    if (!loaded && !(live == Settings{}))
        __builtin_trap();
    if (!usable(live))
        __builtin_trap();
    // The length scan plays every pass a loop count asks for, so its cost grows with the count
    // by design; a few passes exercise the same paths.
    live.loopCount = std::min(live.loopCount, 3u);
    playUnder(live);
    return 0;
}
