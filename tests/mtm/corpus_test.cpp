#include "engine/SongSettings.h"
#include "settings/Settings.h"
#include "song/FormatRegistry.h"
#include "song/MemoryStream.h"
#include "support/Corpus.h"
#include "support/CorpusPlayback.h"
#include "support/FormatsEnabled.h"
#include "support/MixerHarness.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace tolva::test {
namespace {

// Files of the corpus that are rightly refused, with the reason.
const std::map<std::string, std::string> refused = {
    {"f_load_mtm_channels_bound.mtm",
     "its 51 tracks fit, but the table of 12 patterns needs 768 bytes and 615 remain"},
};

TEST(MtmCorpus, EveryFilePlaysToItsEndOrIsRefusedForAKnownReason) {
    FormatsEnabled formats;
    const auto files = corpusFiles("features/mtm");
    ASSERT_FALSE(files.empty()) << "no corpus at " << TOLVA_CORPUS_DIR;
    for (const std::string& path : files) {
        const std::string name = std::filesystem::path(path).filename().string();
        MixerPtr mixer(createMixer());
        MemoryStream stream(readWholeFile(path));
        LoadFailure failure = LoadFailure::None;
        auto player = createPlayer(stream, false, mixer.get(), &failure);
        const auto reason = refused.find(name);
        if (reason != refused.end()) {
            EXPECT_FALSE(player) << name << " should be refused: " << reason->second;
            EXPECT_EQ(failure, LoadFailure::Damaged) << name;
            continue;
        }
        EXPECT_TRUE(player) << name;
        if (!player)
            continue;
        EXPECT_EQ(player->formatType(), FormatMtm) << name;
        applySettings(*player, Settings{}, false);
        const PlaybackResult result = playToEnd(*player, 11025, 30 * 60);
        EXPECT_TRUE(result.ended) << name;
        EXPECT_GT(result.peak, 0) << name << " is silent";
    }
}

} // namespace
} // namespace tolva::test
