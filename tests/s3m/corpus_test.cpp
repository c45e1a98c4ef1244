#include "formats/s3m/S3mLoader.h"
#include "support/Corpus.h"
#include "support/CorpusPlayback.h"

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

// Every file plays to its end: a minute through the mixing loops, the rest through the
// sequencer alone.
TEST(S3mCorpus, EveryFilePlaysToItsEndOrIsRefusedForAKnownReason) {
    const std::vector<std::string> files = s3mFiles();
    ASSERT_GT(files.size(), 40u) << "corpus not found at " << TOLVA_CORPUS_DIR;
    for (const std::string& path : files) {
        const std::string name = std::filesystem::path(path).filename().string();
        const Outcome expected = refused.count(name) != 0 ? Outcome::Refused : Outcome::Ended;
        EXPECT_EQ(playCorpusFile(path, loadS3m), expected) << name;
    }
}

} // namespace
} // namespace tolva::test
