#include "support/HostileLoad.h"

#include "engine/LengthScan.h"
#include "engine/PlaybackStart.h"
#include "engine/Player.h"
#include "engine/SongSettings.h"
#include "song/MemoryStream.h"
#include "song/SongSession.h"
#include "support/Corpus.h"

#include <algorithm>
#include <filesystem>

namespace tolva::test {

bool loadScanAndPlay(const std::vector<uint8_t>& bytes) {
    enableAllFormats();
    {
        MemoryStream stream(bytes);
        createSession(stream, true);
    }
    MemoryStream stream(bytes);
    std::unique_ptr<SongSession> session = createSession(stream, false);
    if (!session)
        return false;
    constexpr uint32_t Rate = 11025;
    Settings settings;
    settings.mixingFrequency = Rate;
    settings.lengthMode = LengthDetectLoop;
    applySettings(session->player(), settings, false);
    const SongLength length = scanLength(*session, settings, 10 * 60);
    startPlayback(*session, length, Rate);
    std::vector<int16_t> block(2 * 576);
    RenderFormat format;
    for (uint32_t played = 0; played < 2 * Rate; played += 576)
        if (session->renderFrames(576, block.data(), &format) == 0)
            break;
    return true;
}

std::vector<std::string> smallestCorpusFiles(const std::string& sub, const std::string& extension,
                                             std::size_t count) {
    std::vector<std::string> files = corpusFiles(sub, extension);
    std::stable_sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        return std::filesystem::file_size(a) < std::filesystem::file_size(b);
    });
    if (files.size() > count)
        files.resize(count);
    return files;
}

} // namespace tolva::test
