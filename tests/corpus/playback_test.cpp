// Every corpus file, taken by content: each is of its folder's format and plays to its end (but
// the one named below); which are refused and how the rest sound, the golden table pins. Copies
// cut short or with header and body bytes overwritten are refused or load, are measured and
// play, and never fault (the sanitizer build is where this suite earns its keep).
#include "engine/Player.h"
#include "engine/SongSession.h"
#include "formats/FormatTable.h"
#include "formats/SongPipeline.h"
#include "platform/Heap.h"
#include "settings/SettingsConversion.h"
#include "song/MemoryStream.h"
#include "support/Corpus.h"
#include "support/MixerHarness.h"
#include "support/ScannedSong.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace tolva::test {
namespace {

constexpr int32_t AnyFormat = -1, NoFormat = -2;

struct Folder {
    const char* path;
    int32_t format; // for MOD, the many formats of the folder not played here are refused
};

class CorpusFiles : public testing::TestWithParam<Folder> {};

TEST_P(CorpusFiles, EveryFileIsOfItsFormatAndPlaysToItsEnd) {
    const auto files = corpusFiles(GetParam().path);
    ASSERT_FALSE(files.empty()) << "no corpus at " << TOLVA_CORPUS_DIR;
    uint32_t played = 0;
    for (const std::string& path : files) {
        const std::string name = std::filesystem::path(path).filename().string();
        SCOPED_TRACE(name);
        MixerPtr mixer(createMixer());
        MemoryStream stream(readWholeFile(path));
        auto player = createPlayer(stream, {}, mixer.get());
        EXPECT_FALSE(GetParam().format == NoFormat && player) << "not a module";
        if (!player)
            continue;
        ++played;
        if (GetParam().format >= 0 && player->info().formatType() != FormatMod15) {
            EXPECT_EQ(static_cast<int32_t>(player->info().formatType()), GetParam().format);
        }
        applyOptions(*player, SongOptions{}, false);
        player->restartSong();
        player->configurePlayback(22050);
        for (uint32_t frames = 0; !player->isEnded() && frames < 22050 * 60 * 30;)
            frames += player->renderFrames(4096, nullptr, nullptr);
        EXPECT_TRUE(player->isEnded()) << "still playing after 30 minutes";
    }
    EXPECT_TRUE(GetParam().format == NoFormat || played > files.size() / 2);
}

// Loads for information and for playing, as the plug-in does; a copy whole enough to play is
// whole enough to describe. Measures up to ten minutes of song time and plays two seconds.
void loadScanAndPlay(const std::vector<uint8_t>& bytes) {
    MemoryStream infoStream(bytes);
    const bool described = createSession(infoStream, {.infoOnly = true}) != nullptr;
    MemoryStream stream(bytes);
    constexpr uint32_t Rate = 11025;
    const Settings settings{.lengthMode = LengthDetectLoop, .mixingFrequency = Rate};
    LoadedSong song;
    if (loadSong(stream, {.song = loadOptions(settings).song, .maxScanSeconds = 10 * 60}, song) !=
        LoadFailure::None)
        return;
    EXPECT_TRUE(described);
    renderToEnd(song, settings, 2 * Rate);
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

TEST_P(CorpusFiles, CutAndOverwrittenCopiesAreRefusedOrPlay) {
    const std::vector<std::string> files = corpusFiles(GetParam().path);
    ASSERT_FALSE(files.empty()) << "no corpus at " << TOLVA_CORPUS_DIR;
    uint32_t seed = 2024;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    for (const std::string& path : files) {
        SCOPED_TRACE(path);
        const std::vector<uint8_t> bytes = readWholeFile(path);
        loadScanAndPlay(bytes);
        for (std::size_t cut : cutPoints(bytes.size()))
            loadScanAndPlay(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
        // Counts, sizes and offsets set to 0, 0xFF or chance: in the first 2 KiB, then anywhere.
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

struct FirstSecond {
    bool refusedForMemory = false;
    uint32_t frames = 0;
    uint64_t sum = 0;
};

// Loads and plays one second with the n-th allocation from the start of the load failing.
FirstSecond playFirstSecond(const std::vector<uint8_t>& bytes, uint32_t failing) {
    constexpr uint32_t Rate = 11025;
    MemoryStream stream(bytes);
    FirstSecond out;
    LoadedSong song;
    platform::failNthAllocation(failing);
    out.refusedForMemory =
        loadSong(stream, {.song = {.seed = 1}, .scan = false}, song) == LoadFailure::OutOfMemory;
    if (song.session) {
        startPlayback(song, Rate);
        std::vector<int16_t> block(2 * 576);
        RenderFormat format;
        for (uint32_t n = 1; n != 0 && out.frames < Rate; out.frames += n) {
            n = song.session->renderFrames(576, block.data(), &format);
            for (int16_t v : block)
                out.sum = out.sum * 31 + static_cast<uint16_t>(v);
        }
    }
    platform::failNthAllocation(0);
    return out;
}

// Each allocation of a load and of its first second of playing fails in turn: the file is refused
// as short of memory or the playing ends there, and the next load plays as before.
class CorpusAllocations : public CorpusFiles {};

TEST_P(CorpusAllocations, EachAllocationOfALoadAndItsFirstSecondFailsCleanly) {
    for (const std::string& file : corpusFiles(GetParam().path)) {
        SCOPED_TRACE(file);
        const std::vector<uint8_t> bytes = readWholeFile(file);
        const FirstSecond whole = playFirstSecond(bytes, 0);
        if (whole.frames < 11025u)
            continue; // refused or shorter than a second
        uint32_t failing = 1;
        for (;; ++failing) {
            const uint32_t failedBefore = platform::failedAllocations();
            const FirstSecond cut = playFirstSecond(bytes, failing);
            if (platform::failedAllocations() == failedBefore)
                break; // fewer allocations than that
            EXPECT_TRUE(cut.refusedForMemory || cut.frames < whole.frames) << failing;
        }
        EXPECT_GT(failing, 3u);
        EXPECT_EQ(playFirstSecond(bytes, 0).sum, whole.sum);
    }
}

std::string folderName(const testing::TestParamInfo<Folder>& info) {
    std::string name = info.param.path;
    name = name.substr(name.find('/') + 1);
    return name == "not-modules" ? "not_modules" : name;
}

INSTANTIATE_TEST_SUITE_P(
    Folders, CorpusFiles,
    testing::Values(Folder{"songs", AnyFormat}, Folder{"features/mod", FormatMod},
                    Folder{"features/s3m", FormatS3m}, Folder{"features/xm", FormatXm},
                    Folder{"features/it", FormatIt}, Folder{"features/mtm", FormatMtm},
                    Folder{"features/669", Format669}, Folder{"not-modules", NoFormat}),
    folderName);
INSTANTIATE_TEST_SUITE_P(Folders, CorpusAllocations,
                         testing::Values(Folder{"songs", AnyFormat},
                                         Folder{"features/mtm", FormatMtm},
                                         Folder{"features/669", Format669}),
                         folderName);

} // namespace
} // namespace tolva::test
