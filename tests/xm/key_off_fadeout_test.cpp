#include "support/XmBuilder.h"
#include "support/XmHarness.h"

#include <gtest/gtest.h>

namespace tolva::test {
namespace {

constexpr uint8_t K = 20; // key-off effect

XmInstrumentDef sustained(uint16_t fadeout) {
    XmInstrumentDef i = xmInstrument();
    i.volumeEnvelope = {{{0, 64}}, 0, 0, 0, 1}; // on, one point: full volume
    i.fadeout = fadeout;
    return i;
}

class XmKeyOff : public ::testing::Test {
protected:
    void start(XmBuilder& b) {
        player = playXm(b.build(), mixer);
        ASSERT_TRUE(player);
    }

    std::vector<int> volumes(uint32_t ticks) {
        std::vector<int> out;
        for (uint32_t i = 0; i < ticks; ++i) {
            playTick(*player);
            out.push_back(mixer.voices[0].volume);
        }
        return out;
    }

    RecordingMixer mixer;
    std::unique_ptr<XmPlayer> player;
};

TEST_F(XmKeyOff, WithoutVolumeEnvelopeSilencesAtOnce) {
    XmBuilder b(1);
    b.instrument(xmInstrument()).cell(0, 0, 0, xmNote(48, 1)).cell(0, 1, 0, xmKeyOff());
    start(b);
    EXPECT_EQ(volumes(6), (std::vector<int>(6, 128)));
    EXPECT_EQ(volumes(2), (std::vector<int>{0, 0}));
    EXPECT_EQ(player->channels[0].volume, 0);
    EXPECT_TRUE(mixer.voices[0].active); // silent, not stopped
}

TEST_F(XmKeyOff, WithVolumeEnvelopeFadesOutByTheFadeoutPerTick) {
    XmBuilder b(1);
    b.instrument(sustained(8192)).cell(0, 0, 0, xmNote(48, 1)).cell(0, 1, 0, xmKeyOff());
    start(b);
    EXPECT_EQ(volumes(6), (std::vector<int>(6, 128)));
    // 32768 less 8192 per tick from the key-off tick on.
    EXPECT_EQ(volumes(6), (std::vector<int>{96, 64, 32, 0, 0, 0}));
    const XmChannel& ch = player->channels[0];
    EXPECT_EQ(ch.fadeVolume, 0);
    EXPECT_TRUE(ch.volumeEnvelope.flags & EnvelopeFinished);
    EXPECT_FALSE(ch.volumeEnvelope.flags & EnvelopeFading);
    EXPECT_TRUE(ch.panningEnvelope.flags & EnvelopeFinished);
}

TEST_F(XmKeyOff, WithoutFadeoutTheReleasedNoteKeepsSounding) {
    XmBuilder b(1);
    b.instrument(sustained(0)).cell(0, 0, 0, xmNote(48, 1)).cell(0, 1, 0, xmKeyOff());
    start(b);
    volumes(6);
    EXPECT_EQ(volumes(12), (std::vector<int>(12, 128)));
}

TEST_F(XmKeyOff, KeyOffWithAnInstrumentRestartsTheEnvelopesUnreleased) {
    XmBuilder b(1);
    b.instrument(xmInstrument())
        .cell(0, 0, 0, xmNote(48, 1))
        .cell(0, 1, 0, xmFx(0xC, 0x10))
        .cell(0, 2, 0, xmKeyOff(1));
    start(b);
    EXPECT_EQ(volumes(12).back(), 32);
    // The key-off zeroes the volume, then the instrument number gives it back.
    EXPECT_EQ(volumes(1), (std::vector<int>{128}));
    EXPECT_FALSE(player->channels[0].volumeEnvelope.flags & EnvelopeReleased);
    EXPECT_EQ(mixer.voices[0].starts, 1u);
}

TEST_F(XmKeyOff, EffectKReleasesOnItsTick) {
    XmBuilder b(3);
    b.instrument(xmInstrument());
    for (uint32_t c = 0; c < 3; ++c)
        b.cell(0, 0, c, xmNote(48, 1));
    b.cell(0, 1, 0, xmFx(K, 0)).cell(0, 1, 1, xmFx(K, 3)).cell(0, 1, 2, xmFx(K, 6));
    start(b);
    playTicks(*player, 6);
    std::vector<std::vector<int>> seen;
    for (uint32_t t = 0; t < 6; ++t) {
        playTick(*player);
        seen.push_back({mixer.voices[0].volume, mixer.voices[1].volume, mixer.voices[2].volume});
    }
    // K00 on the row's first tick, K03 on tick 3, K06 never at speed 6.
    EXPECT_EQ(
        seen,
        (std::vector<std::vector<int>>{
            {0, 128, 128}, {0, 128, 128}, {0, 128, 128}, {0, 0, 128}, {0, 0, 128}, {0, 0, 128}}));
}

TEST_F(XmKeyOff, FadeoutRestartsWithTheNextNote) {
    XmBuilder b(1);
    b.instrument(sustained(0x4000))
        .cell(0, 0, 0, xmNote(48, 1))
        .cell(0, 1, 0, xmKeyOff())
        .cell(0, 2, 0, xmNote(50, 1));
    start(b);
    EXPECT_EQ(volumes(12).back(), 0);
    EXPECT_EQ(volumes(1), (std::vector<int>{128}));
    EXPECT_EQ(player->channels[0].fadeVolume, 32768);
}

} // namespace
} // namespace tolva::test
