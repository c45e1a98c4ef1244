#include "engine/Player.h"
#include "support/CorpusPlayback.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(Corpus669, EveryFilePlaysToItsEndOrIsRefusedForAKnownReason) {
    expectFolderPlaysOrIsRefused(
        "features/669", Format669,
        {{"f_load_669_truncated.669", "the file ends inside the headers of its 21 samples"}});
}

} // namespace
} // namespace tolva::test
