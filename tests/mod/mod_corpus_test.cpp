#include "formats/mod/ModLoader.h"
#include "formats/mod/ModTag.h"
#include "song/MemoryStream.h"
#include "support/Corpus.h"
#include "support/CorpusPlayback.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

bool hasModTag(const std::string& path) {
    MemoryStream stream(readWholeFile(path));
    return findModTag(stream) != 0;
}

// Files are known by their content: a ".mod" song of another format is not ours to play.
TEST(ModCorpus, EveryTaggedSongLoadsAndPlaysToItsEnd) {
    uint32_t songs = 0;
    for (const std::string& path : corpusFiles("songs", "mod")) {
        if (!hasModTag(path))
            continue;
        EXPECT_EQ(playCorpusFile(path, loadMod, 4), Outcome::Ended) << path;
        ++songs;
    }
    EXPECT_GT(songs, 20u);
}

TEST(ModCorpus, FeatureFilesPlayToTheirEndOrAreRefused) {
    const auto files = corpusFiles("features/mod");
    ASSERT_FALSE(files.empty());
    uint32_t played = 0;
    for (const std::string& path : files) {
        const Outcome outcome = playCorpusFile(path, loadMod, 4);
        EXPECT_NE(outcome, Outcome::Capped) << path;
        played += outcome == Outcome::Ended;
    }
    EXPECT_GT(played, files.size() / 2);
}

TEST(ModCorpus, NotModulesAreRefused) {
    for (const std::string& path : corpusFiles("not-modules")) {
        MemoryStream stream(readWholeFile(path));
        EXPECT_FALSE(loadMod(stream, true, nullptr)) << path;
    }
}

} // namespace
} // namespace tolva::test
