#include "support/CorpusPlayback.h"

#include "engine/SongSettings.h"
#include "settings/Settings.h"
#include "song/FormatRegistry.h"
#include "song/MemoryStream.h"
#include "support/Corpus.h"
#include "support/FormatsEnabled.h"
#include "support/MixerHarness.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace tolva::test {

PlaybackResult playToEnd(Player& player, uint32_t rate, uint32_t maxSeconds) {
    constexpr uint32_t Block = 576;
    PlaybackResult result;
    player.restartSong();
    player.configurePlayback(rate);
    std::vector<int16_t> out(2 * Block);
    RenderFormat format;
    while (result.frames < maxSeconds * rate) {
        const uint32_t done = player.renderFrames(Block, out.data(), &format);
        result.frames += done;
        for (uint32_t i = 0; i < 2 * done; ++i)
            result.peak = std::max(result.peak, std::abs(int32_t{out[i]}));
        if (player.isEnded() || done < Block) {
            result.ended = player.isEnded();
            break;
        }
    }
    return result;
}

Outcome playCorpusFile(const std::string& path, const Loader& load, uint32_t mixedSeconds) {
    constexpr uint32_t Rate = 22050;
    constexpr uint32_t Block = 4096;
    MixerPtr mixer(createMixer());
    MemoryStream stream(readWholeFile(path));
    std::unique_ptr<Player> player = load(stream, false, mixer.get());
    if (!player)
        return Outcome::Refused;
    player->restartSong();
    player->configurePlayback(Rate);
    std::vector<int16_t> buffer(2 * Block);
    RenderFormat format;
    uint32_t frames = 0;
    while (!player->isEnded() && frames < Rate * 60 * 30)
        frames += frames < Rate * mixedSeconds ? player->renderFrames(Block, buffer.data(), &format)
                                               : player->renderFrames(Block, nullptr, nullptr);
    return player->isEnded() ? Outcome::Ended : Outcome::Capped;
}

void expectFolderPlaysOrIsRefused(const std::string& folder, uint32_t format,
                                  const std::map<std::string, std::string>& refused) {
    FormatsEnabled formats;
    const auto files = corpusFiles(folder);
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
        EXPECT_EQ(player->formatType(), format) << name;
        applySettings(*player, Settings{}, false);
        const PlaybackResult result = playToEnd(*player, 11025, 30 * 60);
        EXPECT_TRUE(result.ended) << name;
        EXPECT_GT(result.peak, 0) << name << " is silent";
    }
}

} // namespace tolva::test
