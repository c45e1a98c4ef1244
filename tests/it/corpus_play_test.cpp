#include "formats/it/ItPlayer.h"
#include "support/Corpus.h"
#include "support/CorpusPlayback.h"

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

// Every file the loader takes plays to its end, or for 30 minutes when it never ends: a minute
// through the mixing loops, the rest through the sequencer alone. The loader tests say which
// files are refused.
TEST_P(ItCorpusPlay, PlaysToItsEnd) {
    const std::string name = baseName(GetParam());
    const Outcome outcome = playCorpusFile(
        GetParam(), [](InputStream& s, bool i, Mixer* m) { return loadIt(s, i, m); });
    if (endless.count(name))
        EXPECT_EQ(outcome, Outcome::Capped) << name << " ended: " << endless.at(name);
    else
        EXPECT_NE(outcome, Outcome::Capped) << name << " still plays after 30 minutes";
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
