// Every module of the corpus, taken by content through the format registry: each is of the
// format its folder holds and plays to its end; the songs are not silent. Those named below are
// refused or never end, for the reason given.
#include "engine/Player.h"
#include "engine/SongSettings.h"
#include "song/FormatRegistry.h"
#include "song/MemoryStream.h"
#include "support/Corpus.h"
#include "support/FormatsEnabled.h"
#include "support/MixerHarness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

namespace tolva::test {
namespace {

const std::map<std::string, std::string> refused = {
    {"m_mm2flash.s3m", "its samples name packing 4, a compression this player does not read"},
    {"d_ice21_ambiguous.xm", "not a FastTracker 2 module of version 1.03 or 1.04"},
    {"f_load_xm_invalid_instsize.xm", "no patterns"},
    {"f_load_xm_invalid_pattern_length.xm", "a pattern runs past the end of the file"},
    {"f_load_xm_zero_samples.xm", "no patterns and no instruments"},
    {"m_MRHPx-HBTN LUCiFER.xm", "an instrument with more than 16 samples"},
    {"m_dontyou.xm", "version 1.02"},
    {"m_grass near the house.xm", "an instrument with more than 16 samples"},
    {"f_load_mtm_channels_bound.mtm",
     "its 51 tracks fit, but the table of 12 patterns needs 768 bytes and 615 remain"},
    {"f_load_669_truncated.669", "the file ends inside the headers of its 21 samples"},
};
const std::map<std::string, std::string> endless = {
    {"d_storlek_11.it", "pattern loops of three channels on rows 0..2 restart one another"},
};

struct Folder {
    const char* path;
    int32_t format; // -1: any; for MOD, the many formats of the folder not played here are refused
};

class CorpusPlayback : public testing::TestWithParam<Folder> {};

// The first four seconds go through the mixing loops, the rest through the sequencer alone.
TEST_P(CorpusPlayback, EveryFileIsOfItsFormatAndPlaysToItsEnd) {
    constexpr uint32_t Rate = 22050, Block = 4096;
    FormatsEnabled formats;
    const auto files = corpusFiles(GetParam().path);
    ASSERT_FALSE(files.empty()) << "no corpus at " << TOLVA_CORPUS_DIR;
    uint32_t played = 0;
    for (const std::string& path : files) {
        const std::string name = std::filesystem::path(path).filename().string();
        SCOPED_TRACE(name);
        MixerPtr mixer(createMixer());
        MemoryStream stream(readWholeFile(path));
        auto player = createPlayer(stream, false, mixer.get());
        if (refused.count(name)) {
            EXPECT_FALSE(player) << refused.at(name);
            continue;
        }
        // Files damaged on purpose ("f_") may be refused.
        EXPECT_TRUE(player || name.rfind("f_", 0) == 0 || GetParam().format == FormatMod)
            << "refused";
        if (!player)
            continue;
        ++played;
        if (GetParam().format >= 0 && player->formatType() != FormatMod15) {
            EXPECT_EQ(static_cast<int32_t>(player->formatType()), GetParam().format);
        }
        applySettings(*player, Settings{}, false);
        player->restartSong();
        player->configurePlayback(Rate);
        std::vector<int16_t> out(2 * Block);
        RenderFormat fmt;
        int32_t peak = 0;
        uint32_t frames = 0;
        while (!player->isEnded() && frames < Rate * 60 * 30) {
            const bool mixed = frames < Rate * 4;
            frames +=
                player->renderFrames(Block, mixed ? out.data() : nullptr, mixed ? &fmt : nullptr);
            for (uint32_t i = 0; mixed && i < out.size(); ++i)
                peak = std::max(peak, std::abs(int32_t{out[i]}));
        }
        EXPECT_NE(player->isEnded(), endless.count(name) == 1) << "ended after 30 minutes?";
        if (GetParam().format < 0) {
            EXPECT_GT(peak, 0) << "silent";
        }
    }
    EXPECT_GT(played, files.size() / 2);
}

INSTANTIATE_TEST_SUITE_P(Folders, CorpusPlayback,
                         testing::Values(Folder{"songs", -1}, Folder{"features/mod", FormatMod},
                                         Folder{"features/s3m", FormatS3m},
                                         Folder{"features/xm", FormatXm},
                                         Folder{"features/it", FormatIt},
                                         Folder{"features/mtm", FormatMtm},
                                         Folder{"features/669", Format669}),
                         [](const testing::TestParamInfo<Folder>& info) {
                             std::string name = info.param.path;
                             return name.substr(name.find('/') + 1);
                         });

} // namespace
} // namespace tolva::test
