#include "formats/xm/XmLoader.h"
#include "song/MemoryStream.h"
#include "support/Corpus.h"
#include "support/CorpusPlayback.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace tolva::test {
namespace {

// The feature files that are refused, and why.
const std::map<std::string, std::string> refusedFeatures = {
    {"d_ice21_ambiguous.xm", "not a FastTracker 2 module of version 1.03 or 1.04"},
    {"f_load_xm_invalid_instsize.xm", "no patterns"},
    {"f_load_xm_invalid_pattern_length.xm", "a pattern runs past the end of the file"},
    {"f_load_xm_zero_samples.xm", "no patterns and no instruments"},
    {"m_MRHPx-HBTN LUCiFER.xm", "an instrument with more than 16 samples"},
    {"m_dontyou.xm", "version 1.02"},
    {"m_grass near the house.xm", "an instrument with more than 16 samples"},
};

TEST(XmCorpus, EverySongLoadsAndPlaysToItsEnd) {
    const auto files = corpusFiles("songs", "xm");
    for (const std::string& path : files)
        EXPECT_EQ(playCorpusFile(path, loadXm, 4), Outcome::Ended) << path;
    EXPECT_GT(files.size(), 25u);
}

TEST(XmCorpus, FeatureFilesPlayToTheirEndOrAreRefusedForAReason) {
    const auto files = corpusFiles("features/xm");
    ASSERT_GT(files.size(), 100u);
    for (const std::string& path : files) {
        const std::string name = std::filesystem::path(path).filename().string();
        const auto refused = refusedFeatures.find(name);
        const Outcome expected =
            refused == refusedFeatures.end() ? Outcome::Ended : Outcome::Refused;
        EXPECT_EQ(playCorpusFile(path, loadXm, 4), expected)
            << name << (refused == refusedFeatures.end() ? "" : ": " + refused->second);
    }
}

TEST(XmCorpus, OtherFilesAreRefused) {
    for (const char* sub : {"not-modules", "features/it", "features/s3m", "features/mod"})
        for (const std::string& path : corpusFiles(sub)) {
            MemoryStream stream(readWholeFile(path));
            EXPECT_FALSE(loadXm(stream, true, nullptr)) << path;
        }
}

} // namespace
} // namespace tolva::test
