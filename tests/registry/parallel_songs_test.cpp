// Songs loaded and played on threads side by side share nothing: each carries its options, its
// format set and its random generator, so each renders what it renders alone.
#include "formats/SongPipeline.h"
#include "support/ModBuilder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace tolva::test {
namespace {

// A vibrato on the random waveform: every tick draws from the song's generator.
std::vector<uint8_t> randomVibratoSong() {
    return ModBuilder()
        .sample(squareSample(64))
        .cell(0, 0, 0, fx(0xE, 0x43))
        .cell(0, 1, 0, note(25, 1, 0x4, 0x1F))
        .build();
}

// Two seconds of the song at 22050 Hz, loaded from memory; empty when it does not load.
std::vector<int16_t> render(const std::vector<uint8_t>& bytes, const LoadOptions& options) {
    constexpr uint32_t Frames = 44100;
    LoadedSong song;
    if (loadSongMemory(bytes.data(), bytes.size(), options, song) != LoadFailure::None)
        return {};
    startPlayback(song, options.song.rate);
    const RenderFormat format = renderFormat(options.song, 16);
    std::vector<int16_t> pcm(2 * Frames);
    for (uint32_t done = 0, n = 1; done < Frames && n != 0; done += n)
        n = song.session->renderFrames(std::min(576u, Frames - done), &pcm[2 * done], &format);
    return pcm;
}

TEST(ParallelSongs, EachThreadRendersWhatItsSongRendersAlone) {
    const std::vector<uint8_t> song = randomVibratoSong();
    LoadOptions seeded{.song = {.rate = 22050, .seed = 7}};
    LoadOptions modOff = seeded;
    modOff.formats.remove(FormatMod);
    const std::vector<int16_t> alone = render(song, seeded);
    ASSERT_FALSE(alone.empty());
    seeded.song.seed = 8;
    EXPECT_NE(render(song, seeded), alone) << "the seed has no say";
    seeded.song.seed = 7;

    std::vector<std::vector<int16_t>> results(4);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < results.size(); ++i)
        threads.emplace_back([&, i] { results[i] = render(song, i % 2 ? modOff : seeded); });
    for (std::thread& t : threads)
        t.join();
    for (std::size_t i = 0; i < results.size(); ++i)
        EXPECT_EQ(results[i], i % 2 ? std::vector<int16_t>{} : alone) << "thread " << i;
}

} // namespace
} // namespace tolva::test
