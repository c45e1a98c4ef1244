#include "engine/Player.h"
#include "formats/mtm669/MtmLoader.h"
#include "song/MemoryStream.h"
#include "support/MixerHarness.h"
#include "support/MtmBuilder.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tolva::test {
namespace {

// Plays one note of a constant sample at a quarter of full volume, panned hard left, and
// returns a left output sample well inside the note.
int32_t leftLevel(uint8_t byte) {
    MixerPtr mixer(createMixer());
    MtmSampleDef level{"level", std::vector<uint8_t>(64, byte), 0, 64, 0, 16};
    MemoryStream stream(
        MtmBuilder().sample(level).cell(1, 0, mtmNote(25, 1)).pattern(0, {1}).build());
    auto player = loadMtm(stream, false, mixer.get());
    EXPECT_TRUE(player);
    if (!player)
        return 0;
    mixer->setRampingEnabled(false);
    player->restartSong();
    player->configurePlayback(44100);
    std::vector<int16_t> out(2 * 2048);
    RenderFormat format;
    format.interpolate = 0;
    player->renderFrames(2048, out.data(), &format);
    EXPECT_EQ(out[2 * 2000 + 1], 0); // nothing on the right
    return out[2 * 2000];
}

TEST(MtmUnsignedSamples, BytesAreMeasuredFromTheMidpoint) {
    const int32_t low = leftLevel(0x40);
    const int32_t middle = leftLevel(0x80);
    const int32_t high = leftLevel(0xC0);
    EXPECT_LT(low, 0);
    EXPECT_GT(high, 0);
    EXPECT_NEAR(high - middle, middle - low, 1);
    EXPECT_LT(std::abs(middle) * 32, high - middle); // 0x80 is (close to) silence
}

} // namespace
} // namespace tolva::test
