// Every corpus file, whole, cut short at many lengths and with bytes of its headers and body
// overwritten: each copy is refused or loads, is measured and plays, and never faults (the
// sanitizer build is where this suite earns its keep).
#include "engine/LengthScan.h"
#include "engine/PlaybackStart.h"
#include "engine/Player.h"
#include "engine/SongSettings.h"
#include "song/MemoryStream.h"
#include "song/SongSession.h"
#include "support/Corpus.h"

#include <gtest/gtest.h>

#include <set>

namespace tolva::test {
namespace {

// Loads for information and for playing, as the plug-in does; a copy whole enough to play is
// whole enough to describe. Measures up to ten minutes of song time and plays two seconds.
void loadScanAndPlay(const std::vector<uint8_t>& bytes) {
    MemoryStream infoStream(bytes);
    const bool described = createSession(infoStream, true) != nullptr;
    MemoryStream stream(bytes);
    std::unique_ptr<SongSession> session = createSession(stream, false);
    if (!session)
        return;
    EXPECT_TRUE(described);
    constexpr uint32_t Rate = 11025;
    Settings settings;
    settings.mixingFrequency = Rate;
    settings.lengthMode = LengthDetectLoop;
    applySettings(session->player(), settings, false);
    startPlayback(*session, scanLength(*session, settings, 10 * 60), Rate);
    std::vector<int16_t> block(2 * 576);
    RenderFormat format;
    for (uint32_t played = 0; played < 2 * Rate; played += 576)
        if (session->renderFrames(576, block.data(), &format) == 0)
            break;
}

// Lengths inside the headers of the six formats, eighths of the file and all but its last byte.
std::set<std::size_t> cutPoints(std::size_t size) {
    std::set<std::size_t> cuts = {0,   1,   2,   3,    4,    17,   20,   44,   48,
                                  60,  64,  80,  96,   112,  192,  242,  336,  497,
                                  600, 950, 952, 1080, 1084, 1085, 1500, 2108, 4096};
    for (std::size_t k = 1; k < 8; ++k)
        cuts.insert(size * k / 8);
    cuts.insert(size - 1);
    cuts.erase(cuts.lower_bound(size), cuts.end());
    return cuts;
}

class HostileInput : public testing::TestWithParam<const char*> {};

TEST_P(HostileInput, CutAndOverwrittenCopiesAreRefusedOrPlay) {
    enableAllFormats();
    const std::vector<std::string> files = corpusFiles(GetParam());
    ASSERT_FALSE(files.empty()) << "no corpus at " << TOLVA_CORPUS_DIR;
    uint32_t seed = 2024;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        const std::vector<uint8_t> bytes = readWholeFile(path);
        loadScanAndPlay(bytes);
        for (std::size_t cut : cutPoints(bytes.size()))
            loadScanAndPlay(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
        // Counts, sizes and offsets set to nothing, to their largest or to chance: bytes of the
        // first 2 KiB, then anywhere.
        for (uint32_t round = 0; round < 6 && bytes.size() > 8; ++round) {
            std::vector<uint8_t> damaged = bytes;
            const std::size_t span =
                round < 4 ? std::min<std::size_t>(2048, bytes.size()) : bytes.size();
            for (int hit = 0; hit < 12; ++hit) {
                const uint8_t values[] = {0, 0xFF, static_cast<uint8_t>(next() >> 24)};
                damaged[4 + (next() >> 8) % (span - 4)] = values[round % 3];
            }
            SCOPED_TRACE(round);
            loadScanAndPlay(damaged);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Corpus, HostileInput,
                         testing::Values("features/mod", "features/s3m", "features/it",
                                         "features/xm", "features/mtm", "features/669", "songs",
                                         "not-modules"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '/' || c == '-')
                                     c = '_';
                             return name;
                         });

} // namespace
} // namespace tolva::test
