// Every corpus file cut short at many lengths, from inside the first header to just before
// the last byte: each copy is refused or loads, scans and plays, with no fault.
#include "support/Corpus.h"
#include "support/HostileLoad.h"

#include <gtest/gtest.h>

#include <set>

namespace tolva::test {
namespace {

// Lengths inside the headers of the six formats, then eighths of the file and all but its
// last byte.
std::set<std::size_t> cutPoints(std::size_t size) {
    std::set<std::size_t> cuts = {0,   1,   2,   3,    4,    17,   20,   44,   48,
                                  60,  64,  80,  96,   112,  192,  242,  336,  497,
                                  600, 950, 952, 1080, 1084, 1085, 1500, 2108, 4096};
    for (std::size_t k = 1; k < 8; ++k)
        cuts.insert(size * k / 8);
    cuts.insert(size - 1);
    for (auto it = cuts.begin(); it != cuts.end();)
        it = *it >= size ? cuts.erase(it) : std::next(it);
    return cuts;
}

void cutEveryWay(const std::string& path) {
    SCOPED_TRACE(path);
    const std::vector<uint8_t> bytes = readWholeFile(path);
    for (std::size_t cut : cutPoints(bytes.size())) {
        SCOPED_TRACE(cut);
        loadScanAndPlay(std::vector<uint8_t>(bytes.begin(), bytes.begin() + cut));
    }
}

class Truncation : public testing::TestWithParam<const char*> {};

TEST_P(Truncation, EveryCutIsRefusedOrPlays) {
    const std::vector<std::string> files = corpusFiles(GetParam());
    ASSERT_FALSE(files.empty());
    for (const std::string& path : files)
        cutEveryWay(path);
}

INSTANTIATE_TEST_SUITE_P(Corpus, Truncation,
                         testing::Values("features/mod", "features/s3m", "features/it",
                                         "features/xm", "features/mtm", "features/669", "songs",
                                         "not-modules"),
                         [](const testing::TestParamInfo<const char*>& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '/' || c == '-')
                                     c = '_';
                             return name;
                         });

} // namespace
} // namespace tolva::test
