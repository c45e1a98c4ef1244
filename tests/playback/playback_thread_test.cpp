// The plug-in's playback thread as far as it runs without Windows: it renders while the host's
// threads ask for seeks, read the play time and hold the module, each without a lock, and the
// configuration dialog changes the options it renders with.
#include "host/BlockSource.h"
#include "host/LiveOptions.h"
#include "support/ModBuilder.h"

#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace tolva::test {
namespace {

constexpr uint32_t Rate = 22050;

// A note every eight rows, each higher than the last, so that every stretch sounds its own.
std::vector<uint8_t> risingSong() {
    ModBuilder song;
    song.sample(squareSample(64));
    for (uint32_t row = 0; row < 64; row += 8)
        song.cell(0, row, 0, note(25 + row / 4, 1));
    return song.build();
}

std::vector<int16_t> firstBlockFrom(const std::vector<uint8_t>& bytes, uint32_t ms) {
    LoadedSong song;
    const LoadOptions options{.song = {.rate = Rate}};
    if (loadSongMemory(bytes.data(), bytes.size(), options, song) != LoadFailure::None)
        return {};
    startPlayback(song, Rate, ms);
    const RenderFormat format = renderFormat(options.song, 16);
    std::vector<int16_t> block(2 * host::BlockFrames);
    block.resize(2 * song.session->renderFrames(host::BlockFrames, block.data(), &format));
    return block;
}

struct Heard {
    std::vector<int16_t> block; // the first block after the last seek taken
    int32_t timeMs = 0;         // the play time the seek set
};

TEST(PlaybackThread, SeeksAskedOnAnotherThreadLandWhereAFreshStartWould) {
    const std::vector<uint8_t> bytes = risingSong();
    const LoadOptions options{.song = {.rate = Rate}};
    host::ModuleRef module = host::ModuleRef::create();
    ASSERT_TRUE(module);
    ASSERT_EQ(loadSongMemory(bytes.data(), bytes.size(), options, *module), LoadFailure::None);
    preparePlayback(*module, Rate);
    host::PlaybackClock clock;
    std::atomic<int> taken{0};
    Heard heard;

    std::thread playbackThread([&, held = module] {
        host::BlockSource source(*held, clock, Rate);
        const RenderFormat format = renderFormat(options.song, 16);
        std::vector<int16_t> block(2 * host::BlockFrames);
        while (!clock.stopRequested) {
            const bool sought = source.takeSeek();
            const int32_t timeMs = clock.outputTimeMs;
            const uint32_t frames = source.render(block.data(), format);
            source.handOn(frames);
            if (sought) {
                heard = {{block.begin(), block.begin() + 2 * frames}, timeMs};
                ++taken;
            }
        }
    });
    const std::vector<int32_t> targets = {3000, 500, 6000, 2000};
    std::thread hostThread([&, held = module]() mutable {
        for (const int32_t ms : targets) {
            host::ModuleRef copy = held; // the playlist and dialogs hold the module too
            const int before = taken;
            clock.seekTargetMs = ms;
            clock.seekRequested = true;
            while (taken == before)
                std::this_thread::yield();
        }
        held.release();
        clock.stopRequested = true;
    });
    module.release(); // the threads' references keep it alive
    hostThread.join();
    playbackThread.join();

    EXPECT_EQ(heard.timeMs, targets.back());
    EXPECT_EQ(heard.block, firstBlockFrom(bytes, targets.back()));
}

// The configuration dialog publishes options while the thread renders: each block keeps what it
// had or takes the latest whole, and the last change is never missed.
TEST(PlaybackThread, OptionsPublishedOnAnotherThreadArriveWhole) {
    host::LiveOptions live;
    uint32_t seen = 0;
    SongOptions taken;
    EXPECT_FALSE(live.take(seen, taken));
    std::thread dialog([&live] {
        for (uint16_t percent = 1; percent <= 200; ++percent)
            live.publish({.amp = static_cast<int16_t>(percent), .stereoSeparation = percent});
    });
    while (taken.stereoSeparation != 200) {
        if (live.take(seen, taken)) {
            EXPECT_EQ(taken.amp, taken.stereoSeparation);
        }
    }
    dialog.join();
    EXPECT_FALSE(live.take(seen, taken));
}

} // namespace
} // namespace tolva::test
