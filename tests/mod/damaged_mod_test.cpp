#include "formats/mod/ModLoader.h"
#include "formats/mod/ModTag.h"
#include "mixer/SoftwareMixer.h"
#include "song/MemoryStream.h"
#include "support/Corpus.h"
#include "support/ModBuilder.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace tolva::test {
namespace {

struct MixerDeleter {
    void operator()(Mixer* m) const { destroyMixer(m); }
};

// Loads the bytes and, when they load, plays a few seconds with sound and the rest silently.
void loadAndPlay(const std::vector<uint8_t>& bytes) {
    std::unique_ptr<Mixer, MixerDeleter> mixer(createMixer());
    MemoryStream stream(bytes);
    std::unique_ptr<Player> player = loadMod(stream, false, mixer.get());
    if (!player)
        return;
    player->restartSong();
    player->configurePlayback(22050);
    std::vector<int16_t> block(576 * 2);
    RenderFormat format;
    for (int i = 0; i < 40 && !player->isEnded(); ++i)
        player->renderFrames(576, block.data(), &format);
    player->renderFrames(22050 * 120, nullptr, nullptr);
}

std::vector<uint8_t> firstTaggedSong() {
    for (const std::string& path : corpusFiles("songs", "mod")) {
        std::vector<uint8_t> bytes = readWholeFile(path);
        MemoryStream stream(bytes);
        if (findModTag(stream) != 0)
            return bytes;
    }
    return {};
}

TEST(DamagedMod, EveryTruncationIsRefusedOrPlays) {
    const std::vector<uint8_t> song = firstTaggedSong();
    ASSERT_FALSE(song.empty());
    for (std::size_t cut = 0; cut < song.size(); cut += 1 + song.size() / 37) {
        SCOPED_TRACE(cut);
        loadAndPlay(std::vector<uint8_t>(song.begin(), song.begin() + cut));
    }
}

TEST(DamagedMod, CorruptedHeadersAndPatternsNeverCrash) {
    const std::vector<uint8_t> song = firstTaggedSong();
    ASSERT_GT(song.size(), 4096u);
    uint32_t state = 12345;
    auto next = [&state] { return state = state * 1103515245u + 12345u; };
    for (int round = 0; round < 40; ++round) {
        std::vector<uint8_t> bytes = song;
        for (int flips = 0; flips < 24; ++flips) {
            const uint32_t r = next();
            bytes[(r >> 8) % 4096] = static_cast<uint8_t>(next() >> 16);
        }
        SCOPED_TRACE(round);
        loadAndPlay(bytes);
    }
}

TEST(DamagedMod, ExtremeValuesInABuiltSong) {
    ModSampleDef odd = squareSample(2);
    odd.loopStart = 0xFFFE; // loop far beyond the data
    odd.loopLength = 0xFFFE;
    ModBuilder builder(32, "32CH");
    builder.sample(odd).sample(squareSample(64)).orders({0, 1});
    for (uint32_t ch = 0; ch < 32; ++ch) {
        builder.cell(0, 0, ch, note(96, 1, 0x0, 0xFF)); // arpeggio beyond the table
        builder.cell(0, 1, ch, note(1, 2, 0x9, 0xFF));  // offset beyond the data
        builder.cell(0, 2, ch, ModCell{4095, 31, 0x4, 0xFF});
        builder.cell(0, 3, ch, ModCell{1, 2, 0x2, 0xFF});
        builder.cell(1, 0, ch, fx(0xE, 0xEF));
        builder.cell(1, 1, ch, fx(0xE, 0x6F));
        builder.cell(1, 2, ch, fx(0xD, 0x99));
    }
    loadAndPlay(builder.build());
}

} // namespace
} // namespace tolva::test
