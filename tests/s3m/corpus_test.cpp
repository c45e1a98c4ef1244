#include "engine/Player.h"
#include "formats/s3m/S3mLoader.h"
#include "mixer/SoftwareMixer.h"
#include "song/MemoryStream.h"
#include "support/Corpus.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace tolva::test {
namespace {

std::vector<std::string> s3mFiles() {
    std::vector<std::string> files = corpusFiles("songs", "s3m");
    for (const std::string& path : corpusFiles("features/s3m", "s3m"))
        files.push_back(path);
    return files;
}

// Files that are refused, and why.
const std::map<std::string, std::string> refused = {
    {"m_mm2flash.s3m", "its samples name packing 4, a compression this player does not read"},
};

// Every file plays through the real mixer until the song ends.
TEST(S3mCorpus, EveryFilePlaysToItsEndOrIsRefusedForAKnownReason) {
    const std::vector<std::string> files = s3mFiles();
    ASSERT_GT(files.size(), 40u) << "corpus not found at " << TOLVA_CORPUS_DIR;
    std::vector<int16_t> buffer(2 * 4096);
    for (const std::string& path : files) {
        const std::string name = std::filesystem::path(path).filename().string();
        SoftwareMixer* mixer = createMixer();
        ASSERT_TRUE(mixer);
        {
            MemoryStream stream(readWholeFile(path));
            std::unique_ptr<Player> player = loadS3m(stream, false, mixer);
            if (refused.count(name) != 0) {
                EXPECT_FALSE(player) << name;
            } else if (!player) {
                ADD_FAILURE() << name << " was refused";
            } else {
                player->restartSong();
                player->configurePlayback(22050);
                const uint32_t limit = 22050 * 60 * 30;
                uint32_t frames = 0;
                RenderFormat format;
                // A minute through the mixing loops, the rest through the sequencer alone.
                while (!player->ended && frames < limit)
                    frames += frames < 22050 * 60
                                  ? player->renderFrames(4096, buffer.data(), &format)
                                  : player->renderFrames(4096, nullptr, nullptr);
                EXPECT_TRUE(player->ended) << name << " still plays after 30 minutes";
            }
        }
        destroyMixer(mixer);
    }
}

} // namespace
} // namespace tolva::test
