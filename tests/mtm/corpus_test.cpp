#include "engine/Player.h"
#include "support/CorpusPlayback.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

TEST(MtmCorpus, EveryFilePlaysToItsEndOrIsRefusedForAKnownReason) {
    expectFolderPlaysOrIsRefused(
        "features/mtm", FormatMtm,
        {{"f_load_mtm_channels_bound.mtm",
          "its 51 tracks fit, but the table of 12 patterns needs 768 bytes and 615 remain"}});
}

} // namespace
} // namespace tolva::test
