#include "engine/Player.h"
#include "formats/s3m/S3mLoader.h"
#include "mixer/SoftwareMixer.h"
#include "song/FileStream.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tolva::test {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> corpusFiles() {
    std::vector<std::string> files;
    const fs::path root(TOLVA_CORPUS_DIR);
    for (const fs::path& folder : {root / "songs", root / "features" / "s3m"}) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(folder, error))
            if (entry.path().extension() == ".s3m")
                files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Files that are refused, and why.
const std::map<std::string, std::string> refused = {
    {"m_mm2flash.s3m", "its samples name packing 4, a compression this player does not read"},
};

class S3mCorpus : public ::testing::TestWithParam<std::string> {};

TEST_P(S3mCorpus, PlaysToItsEndOrIsRefusedForAKnownReason) {
    const std::string path = GetParam();
    const std::string name = fs::path(path).filename().string();
    SoftwareMixer* mixer = createMixer();
    ASSERT_TRUE(mixer);
    {
        FileStream stream(path.c_str(), platform::FileMode::Read);
        std::unique_ptr<Player> player = loadS3m(stream, false, mixer);
        const auto reason = refused.find(name);
        if (reason != refused.end()) {
            EXPECT_FALSE(player) << "refused because " << reason->second;
        } else if (!player) {
            ADD_FAILURE() << name << " was refused";
        } else {
            player->restartSong();
            player->configurePlayback(22050);
            std::vector<int16_t> buffer(2 * 4096);
            RenderFormat format;
            const uint32_t limit = 22050 * 60 * 30;
            uint32_t frames = 0;
            while (!player->ended && frames < limit)
                frames += player->renderFrames(4096, buffer.data(), &format);
            EXPECT_TRUE(player->ended) << name << " still plays after 30 minutes";
        }
    }
    destroyMixer(mixer);
}

INSTANTIATE_TEST_SUITE_P(Files, S3mCorpus, ::testing::ValuesIn(corpusFiles()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             std::string name = fs::path(info.param).stem().string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c)))
                                     c = '_';
                             return name;
                         });

} // namespace
} // namespace tolva::test
