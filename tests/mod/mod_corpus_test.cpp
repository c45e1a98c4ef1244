#include "engine/Player.h"
#include "formats/mod/ModLoader.h"
#include "formats/mod/ModTag.h"
#include "mixer/SoftwareMixer.h"
#include "song/MemoryStream.h"
#include "support/Corpus.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tolva::test {
namespace {

constexpr uint32_t Rate = 44100;
constexpr uint32_t AudibleFrames = Rate * 4;   // mixed into a buffer
constexpr uint32_t MaxFrames = Rate * 60 * 60; // then silently, to the end or this cap

struct MixerDeleter {
    void operator()(Mixer* m) const { destroyMixer(m); }
};

enum class Outcome { Refused, Ended, Capped };

Outcome playToTheEnd(const std::string& path) {
    std::unique_ptr<Mixer, MixerDeleter> mixer(createMixer());
    MemoryStream stream(readWholeFile(path));
    std::unique_ptr<Player> player = loadMod(stream, false, mixer.get());
    if (!player)
        return Outcome::Refused;
    player->restartSong();
    player->configurePlayback(Rate);
    std::vector<int16_t> block(576 * 2);
    RenderFormat format;
    uint32_t frames = 0;
    while (frames < AudibleFrames && !player->isEnded())
        frames += player->renderFrames(576, block.data(), &format);
    if (!player->isEnded())
        player->renderFrames(MaxFrames - frames, nullptr, nullptr);
    return player->isEnded() ? Outcome::Ended : Outcome::Capped;
}

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
        EXPECT_EQ(playToTheEnd(path), Outcome::Ended) << path;
        ++songs;
    }
    EXPECT_GT(songs, 20u);
}

TEST(ModCorpus, FeatureFilesPlayToTheirEndOrAreRefused) {
    const auto files = corpusFiles("features/mod");
    ASSERT_FALSE(files.empty());
    uint32_t played = 0;
    for (const std::string& path : files) {
        const Outcome outcome = playToTheEnd(path);
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
