#include "formats/it/ItPlayer.h"
#include "mixer/SoftwareMixer.h"
#include "song/MemoryStream.h"
#include "support/Corpus.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <string>
#include <vector>

namespace tolva::test {
namespace {

std::vector<std::string> playableFiles() {
    std::vector<std::string> files = corpusFiles("songs", "it");
    for (const std::string& path : corpusFiles("features/it", "it"))
        files.push_back(path);
    return files;
}

// Files that never end, and why.
const std::map<std::string, std::string> endless = {
    {"d_storlek_11.it",
     "pattern loops of three channels on rows 0..2 restart one another for ever"},
};

std::string baseName(const std::string& path) {
    return path.substr(path.find_last_of("/\\") + 1);
}

class ItCorpusPlay : public ::testing::TestWithParam<std::string> {};

// Every file the loader takes plays through the real mixer to its end, or for 30 minutes when
// it never ends; the loader tests say which files are refused.
TEST_P(ItCorpusPlay, PlaysToItsEnd) {
    const std::string name = baseName(GetParam());
    SoftwareMixer* mixer = createMixer();
    ASSERT_TRUE(mixer);
    {
        MemoryStream stream(readWholeFile(GetParam()));
        std::unique_ptr<Player> player = loadIt(stream, false, mixer);
        if (player) {
            player->restartSong();
            player->configurePlayback(22050);
            std::vector<int16_t> buffer(2 * 4096);
            RenderFormat format;
            const uint32_t limit = 22050 * 60 * 30;
            uint32_t frames = 0;
            while (!player->ended && frames < limit)
                frames += player->renderFrames(4096, buffer.data(), &format);
            if (endless.count(name))
                EXPECT_FALSE(player->ended) << name << " ended: " << endless.at(name);
            else
                EXPECT_TRUE(player->ended) << name << " still plays after 30 minutes";
        }
    }
    destroyMixer(mixer);
}

INSTANTIATE_TEST_SUITE_P(Files, ItCorpusPlay, ::testing::ValuesIn(playableFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = baseName(info.param);
                             name = name.substr(0, name.rfind('.'));
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name + "_" + std::to_string(info.index);
                         });

} // namespace
} // namespace tolva::test
