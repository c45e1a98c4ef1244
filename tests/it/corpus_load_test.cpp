#include "formats/it/ItPlayer.h"
#include "song/MemoryStream.h"
#include "support/Corpus.h"
#include "support/ItLoad.h"
#include "support/SampleStoreMixer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace tolva;

namespace {

std::vector<std::string> itFiles(const char* folder) {
    return test::corpusFiles(folder, "it");
}

bool isImpulseTracker(const std::vector<uint8_t>& bytes) {
    return bytes.size() >= 4 && std::equal(bytes.begin(), bytes.begin() + 4, "IMPM");
}

// Loads fully and for information; both must agree on whether the file is whole.
ItLoadError loadBothWays(const std::vector<uint8_t>& bytes) {
    auto full = test::loadItBytes(bytes);
    auto info = test::loadItBytes(bytes, true);
    if (full->error == ItLoadError::None) {
        EXPECT_EQ(info->error, ItLoadError::None);
        EXPECT_EQ(full->song.sampleCount, info->song.sampleCount);
    }
    return full->error;
}

} // namespace

TEST(ItCorpus, EverySongLoads) {
    std::vector<std::string> songs = itFiles("songs");
    ASSERT_FALSE(songs.empty()) << "corpus not found at " << TOLVA_CORPUS_DIR;
    for (const std::string& path : songs) {
        std::vector<uint8_t> bytes = test::readWholeFile(path);
        ASSERT_TRUE(isImpulseTracker(bytes)) << path;
        ItLoadError error = loadBothWays(bytes);
        EXPECT_EQ(error, ItLoadError::None) << path << ": " << itLoadErrorText(error);
    }
}

TEST(ItCorpus, SongsWalkEveryRowAndGiveTheirSamplesBack) {
    for (const std::string& path : itFiles("songs")) {
        test::SampleStoreMixer mixer;
        MemoryStream stream(test::readWholeFile(path));
        std::unique_ptr<Player> player = loadIt(stream, false, &mixer);
        ASSERT_TRUE(player) << path;
        EXPECT_GT(mixer.liveBlocks(), 0u) << path;
        player->restartSong();
        uint32_t ticks = 0;
        while (player->onTick(0, 0) && ticks < 1000000)
            ++ticks;
        EXPECT_TRUE(player->isEnded()) << path;
        player.reset();
        EXPECT_EQ(mixer.liveBlocks(), 0u) << path;
    }
}

TEST(ItCorpus, FeatureFilesLoadOrAreRefusedWithAReason) {
    std::vector<std::string> files = itFiles("features/it");
    ASSERT_FALSE(files.empty());
    for (const std::string& path : files) {
        std::vector<uint8_t> bytes = test::readWholeFile(path);
        if (!isImpulseTracker(bytes))
            continue;
        std::string name = path.substr(path.find_last_of("/\\") + 1);
        ItLoadError error = loadBothWays(bytes);
        if (error != ItLoadError::None)
            std::printf("refused %s: %s\n", name.c_str(), itLoadErrorText(error));
        // Damaged files ("f_") may be refused; so may one song whose samples are packed as
        // 4-bit ADPCM (conversion byte 0xFF), which read as plain PCM run past the file's end.
        if (name.rfind("f_", 0) != 0 && name != "m_another life.it") {
            EXPECT_EQ(error, ItLoadError::None) << name << ": " << itLoadErrorText(error);
        }
    }
}

TEST(ItCorpus, NonModulesWithTheExtensionAreNotTakenForIt) {
    for (const std::string& path : itFiles("not-modules")) {
        std::vector<uint8_t> bytes = test::readWholeFile(path);
        EXPECT_TRUE(!isImpulseTracker(bytes) || loadBothWays(bytes) != ItLoadError::None) << path;
    }
}

TEST(ItCorpus, CutAndScrambledSongsNeverOverrun) {
    uint32_t seed = 2024;
    for (const std::string& path : itFiles("songs")) {
        std::vector<uint8_t> bytes = test::readWholeFile(path);
        for (std::size_t cut : {std::size_t(200), bytes.size() / 7, bytes.size() / 3,
                                bytes.size() / 2, bytes.size() - 1}) {
            std::vector<uint8_t> part(bytes.begin(),
                                      bytes.begin() + static_cast<std::ptrdiff_t>(cut));
            loadBothWays(part);
        }
        for (int round = 0; round < 4; ++round) {
            std::vector<uint8_t> scrambled = bytes;
            for (int hit = 0; hit < 40; ++hit) {
                seed = seed * 1664525u + 1013904223u;
                std::size_t at = 4 + (seed >> 8) % (scrambled.size() - 4);
                scrambled[at] = static_cast<uint8_t>(seed >> 24);
            }
            loadBothWays(scrambled);
        }
    }
}
